<?xml version="1.0" encoding="UTF-8"?>
<!-- The adjustment's result document as a report: the summary with the
     F-test and the largest tests first, the network plot, then the rejected
     tests, stations, precision, observations and additional parameters.
     Vocabulary: docs/result-documents.md. -->
<xsl:stylesheet version="1.0"
    xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:t="urn:tavex:result:3.3"
    xmlns="http://www.w3.org/1999/xhtml"
    exclude-result-prefixes="t">

  <xsl:include href="tavex-common.xsl"/>

  <!-- Stations (and side shots) by number, observations by their unordered
       station pair ("3-7" for 3 and 7 either way round). -->
  <xsl:key name="station" match="t:Stations/t:Station | t:FreeStations/t:FreeStation" use="@number"/>
  <xsl:key name="pair" match="t:Observations/t:Observation"
      use="concat(substring(concat(@stationNumber, '-', @targetNumber), 1 div (number(@stationNumber) &lt; number(@targetNumber))),
                  substring(concat(@targetNumber, '-', @stationNumber), 1 div (number(@stationNumber) &gt; number(@targetNumber))))"/>

  <xsl:template match="/">
    <xsl:for-each select="t:Result/t:Project">
      <xsl:variable name="design" select="t:Summary/@design = '1'"/>
      <xsl:call-template name="page">
        <xsl:with-param name="title">
          <xsl:choose>
            <xsl:when test="$design">Design: precision and reliability</xsl:when>
            <xsl:otherwise>Adjustment</xsl:otherwise>
          </xsl:choose>
        </xsl:with-param>
        <xsl:with-param name="kernelTitle" select="t:Summary/t:SummaryHeader/@run"/>
        <xsl:with-param name="body">
          <xsl:call-template name="summary"/>
          <xsl:call-template name="plot"/>
          <xsl:call-template name="rejected-switch"/>
          <xsl:call-template name="test-lists"/>
          <xsl:call-template name="stations"/>
          <xsl:call-template name="ellipses"/>
          <xsl:call-template name="free-stations"/>
          <xsl:call-template name="observations"/>
          <xsl:call-template name="parameters"/>
          <xsl:call-template name="lists"/>
        </xsl:with-param>
      </xsl:call-template>
    </xsl:for-each>
  </xsl:template>

  <!-- ===== Summary ===================================================== -->

  <xsl:template name="summary">
    <xsl:variable name="ts" select="t:Summary/t:TestSummary"/>
    <xsl:variable name="items" select="t:Summary/t:SummaryList/t:Item"/>
    <section id="summary">
      <xsl:call-template name="heading">
        <xsl:with-param name="text" select="'Summary'"/>
        <xsl:with-param name="native" select="concat(t:Summary/@title, ' · ', $ts/@title)"/>
      </xsl:call-template>
      <div>
        <xsl:attribute name="class">verdict<xsl:if test="$ts/@fTest = '0'"> rejected</xsl:if></xsl:attribute>
        <xsl:choose>
          <xsl:when test="$ts/@fTest = '1'">F-test accepted</xsl:when>
          <xsl:when test="$ts/@fTest = '0'">F-test rejected</xsl:when>
          <xsl:when test="t:Summary/@design = '1'">Design: no F-test</xsl:when>
          <xsl:otherwise>F-test not made (no redundancy)</xsl:otherwise>
        </xsl:choose>
        <xsl:if test="$ts/@fTest = '1' or $ts/@fTest = '0'">
          <xsl:text>: variance factor </xsl:text>
          <xsl:call-template name="real"><xsl:with-param name="v" select="$ts/@varianceFactor"/></xsl:call-template>
          <xsl:text>, critical value </xsl:text>
          <xsl:call-template name="real"><xsl:with-param name="v" select="$ts/@criticalF"/></xsl:call-template>
          <xsl:if test="$ts/@aPosteriori = '1'"> (results use the a-posteriori variance factor)</xsl:if>
        </xsl:if>
      </div>
      <div class="cards">
        <div class="card">Degrees of freedom<b id="redundancy"><xsl:value-of select="@redundancy"/></b></div>
        <xsl:for-each select="$items[@name = 'criticalW' or @name = 'criticalT2' or @name = 'criticalT3' or @name = 'criticalF' or @name = 'alpha0' or @name = 'beta']">
          <div class="card"><xsl:call-template name="english"><xsl:with-param name="name" select="@name"/></xsl:call-template>
            <b><xsl:call-template name="real"><xsl:with-param name="v" select="@value"/><xsl:with-param name="pattern" select="'0.###'"/></xsl:call-template></b></div>
        </xsl:for-each>
        <xsl:call-template name="largest-w"/>
        <xsl:call-template name="largest-t"/>
      </div>
      <xsl:if test="$ts/t:Test">
        <h3>Largest tests <span class="native"><xsl:value-of select="$ts/@title"/></span></h3>
        <xsl:call-template name="test-table"><xsl:with-param name="tests" select="$ts/t:Test"/></xsl:call-template>
      </xsl:if>
      <h3>Counts <span class="native"><xsl:value-of select="t:Summary/t:SummaryList[@name = 'counts']/@title"/></span></h3>
      <xsl:call-template name="item-table"><xsl:with-param name="items" select="t:Summary/t:SummaryList[@name = 'counts']/t:Item"/></xsl:call-template>
      <xsl:call-template name="variance-components"/>
    </section>
  </xsl:template>

  <!-- The largest |w| of all readings. Sorting reads plain decimals only;
       a w written with an exponent is below 1e-4 (or absurd), so it can only
       sort behind the largest ones. -->
  <xsl:template name="largest-w">
    <xsl:for-each select=".//t:ObservationRecord[@w]">
      <xsl:sort select="number(@w) * ((number(@w) &gt;= 0) * 2 - 1)" data-type="number" order="descending"/>
      <xsl:if test="position() = 1">
        <div>
          <xsl:attribute name="class">card<xsl:if test="@rejected = '1'"> rejected</xsl:if></xsl:attribute>
          <xsl:text>Largest W-test</xsl:text>
          <b><xsl:call-template name="real"><xsl:with-param name="v" select="@w"/><xsl:with-param name="pattern" select="'0.00'"/></xsl:call-template>
            <xsl:if test="@rejected = '1'"><span class="mark"> **</span></xsl:if></b>
          <xsl:value-of select="concat(../@station, ' → ', ../@target, ' ', @code, ' (record ', ../@record, ')')"/>
        </div>
      </xsl:if>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="largest-t">
    <xsl:for-each select="t:Stations/t:Station[@tRatio] | .//t:GroupTest[@ratio]">
      <xsl:sort select="number(concat(@tRatio, @ratio))" data-type="number" order="descending"/>
      <xsl:if test="position() = 1">
        <div>
          <xsl:attribute name="class">card<xsl:if test="@tRejected = '1' or @rejected = '1'"> rejected</xsl:if></xsl:attribute>
          <xsl:text>Largest T-test</xsl:text>
          <b><xsl:call-template name="real"><xsl:with-param name="v" select="concat(@tTest, @T)"/><xsl:with-param name="pattern" select="'0.00'"/></xsl:call-template>
            <xsl:if test="@tRejected = '1' or @rejected = '1'"><span class="mark"> **</span></xsl:if></b>
          <xsl:choose>
            <xsl:when test="self::t:Station"><xsl:value-of select="concat('station ', @name)"/></xsl:when>
            <xsl:otherwise><xsl:value-of select="concat('GPS ', ../@station, ' → ', ../@target, ' (record ', ../@record, ')')"/></xsl:otherwise>
          </xsl:choose>
          <xsl:text> · ratio </xsl:text>
          <xsl:call-template name="real"><xsl:with-param name="v" select="concat(@tRatio, @ratio)"/><xsl:with-param name="pattern" select="'0.00'"/></xsl:call-template>
        </div>
      </xsl:if>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="test-table">
    <xsl:param name="tests"/>
    <div class="table-wrap"><table class="tests">
      <thead><tr><th class="text">Test</th><th class="text">Station</th><th class="text">Target</th><th class="text">Code</th><th>Value</th><th>Value / critical</th><th>Estimated error</th></tr></thead>
      <tbody>
        <xsl:for-each select="$tests">
          <tr>
            <xsl:if test="@rejected = '1'"><xsl:attribute name="class">rejected</xsl:attribute></xsl:if>
            <td class="text"><xsl:choose><xsl:when test="@test = 'w'">W</xsl:when><xsl:when test="@test = 'antenna'">antenna W</xsl:when><xsl:otherwise>T</xsl:otherwise></xsl:choose></td>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@station"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@target"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@code"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <td><xsl:call-template name="real"><xsl:with-param name="v" select="@value"/><xsl:with-param name="pattern" select="'0.00'"/></xsl:call-template></td>
            <td><xsl:call-template name="real"><xsl:with-param name="v" select="@ratio"/><xsl:with-param name="pattern" select="'0.00'"/></xsl:call-template><xsl:if test="@rejected = '1'"><span class="mark"> **</span></xsl:if></td>
            <td><xsl:call-template name="small"><xsl:with-param name="v" select="@error1"/><xsl:with-param name="unit" select="@unit"/></xsl:call-template></td>
          </tr>
        </xsl:for-each>
      </tbody>
    </table></div>
  </xsl:template>

  <xsl:template name="variance-components">
    <xsl:variable name="vc" select="t:Summary/t:VarianceComponents"/>
    <xsl:if test="$vc/t:Group">
      <h3>Variance components <span class="native"><xsl:value-of select="$vc/@title"/></span></h3>
      <div class="table-wrap"><table>
        <thead><tr><th>Group</th><th class="text">Kind</th><th>Estimate σ̂²</th><th>Redundancy</th><th>Cumulative factor</th></tr></thead>
        <tbody>
          <xsl:for-each select="$vc/t:Group">
            <tr>
              <td><xsl:value-of select="@key"/></td>
              <td class="text"><xsl:call-template name="group-kind"/></td>
              <!-- Without redundancy the estimate is rounding noise. -->
              <xsl:variable name="r"><xsl:call-template name="num"><xsl:with-param name="v" select="@redundancy"/></xsl:call-template></xsl:variable>
              <td><xsl:choose>
                <xsl:when test="number($r) &gt; 0.000001"><xsl:call-template name="real"><xsl:with-param name="v" select="@estimate"/></xsl:call-template></xsl:when>
                <xsl:otherwise>– (no redundancy)</xsl:otherwise>
              </xsl:choose></td>
              <td><xsl:call-template name="real"><xsl:with-param name="v" select="@redundancy"/><xsl:with-param name="pattern" select="'0.00'"/></xsl:call-template></td>
              <td><xsl:call-template name="real"><xsl:with-param name="v" select="@factor"/></xsl:call-template></td>
            </tr>
          </xsl:for-each>
        </tbody>
      </table></div>
    </xsl:if>
  </xsl:template>

  <xsl:template name="group-kind">
    <xsl:choose>
      <xsl:when test="@kind = '50'">terrestrial</xsl:when>
      <xsl:when test="@kind = '60'">GPS</xsl:when>
      <xsl:when test="@kind = '35'">known coordinates</xsl:when>
      <xsl:when test="@kind = '40'">other pseudo-observations</xsl:when>
      <xsl:otherwise><xsl:call-template name="row-kind"><xsl:with-param name="kind" select="@kind"/></xsl:call-template></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="row-kind">
    <xsl:param name="kind"/>
    <xsl:choose>
      <xsl:when test="$kind = '1'">direction</xsl:when>
      <xsl:when test="$kind = '2'">distance</xsl:when>
      <xsl:when test="$kind = '3'">zenith angle</xsl:when>
      <xsl:when test="$kind = '4'">azimuth</xsl:when>
      <xsl:when test="$kind = '5'">height difference</xsl:when>
      <xsl:when test="$kind = '6'">GPS baseline</xsl:when>
      <xsl:when test="$kind = '7'">GPS coordinate</xsl:when>
      <xsl:when test="$kind = '8'">trigonometric height</xsl:when>
      <xsl:when test="$kind = '9'">relation</xsl:when>
      <xsl:when test="$kind = '10'">local coordinate</xsl:when>
      <xsl:otherwise><xsl:value-of select="concat('kind ', $kind)"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ===== Rejected tests ============================================== -->

  <xsl:template name="test-lists">
    <xsl:variable name="table" select="t:Table[@name = 'testStatistics']"/>
    <xsl:if test="$table">
      <section id="tests">
        <xsl:call-template name="heading">
          <xsl:with-param name="text" select="'Rejected tests'"/>
          <xsl:with-param name="native" select="$table/@title"/>
        </xsl:call-template>
        <xsl:for-each select="$table/t:TestList">
          <h3><xsl:call-template name="test-list-name"/><xsl:text> </xsl:text><span class="native"><xsl:value-of select="@title"/></span></h3>
          <xsl:choose>
            <xsl:when test="t:Test"><xsl:call-template name="test-table"><xsl:with-param name="tests" select="t:Test"/></xsl:call-template></xsl:when>
            <xsl:otherwise><p class="note">none rejected</p></xsl:otherwise>
          </xsl:choose>
        </xsl:for-each>
      </section>
    </xsl:if>
  </xsl:template>

  <xsl:template name="test-list-name">
    <xsl:choose>
      <xsl:when test="@name = 'observationW'">W-tests of observations</xsl:when>
      <xsl:when test="@name = 'coordinateW'">W-tests of known coordinates</xsl:when>
      <xsl:when test="@name = 'stationT'">T-tests of known stations</xsl:when>
      <xsl:when test="@name = 'groupT'">T-tests of GPS groups</xsl:when>
      <xsl:when test="@name = 'antenna'">Antenna height tests</xsl:when>
      <xsl:otherwise><xsl:value-of select="@name"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ===== Stations ==================================================== -->

  <xsl:template name="coordinate-cells">
    <xsl:param name="c"/>
    <xsl:param name="grid"/>
    <xsl:choose>
      <xsl:when test="not($c)"><td>–</td><td>–</td><td>–</td></xsl:when>
      <xsl:when test="$grid">
        <td><xsl:call-template name="length"><xsl:with-param name="v" select="$c/@easting"/></xsl:call-template></td>
        <td><xsl:call-template name="length"><xsl:with-param name="v" select="$c/@northing"/></xsl:call-template></td>
        <td><xsl:call-template name="length"><xsl:with-param name="v" select="$c/@height"/></xsl:call-template></td>
      </xsl:when>
      <xsl:otherwise>
        <td><xsl:call-template name="angle"><xsl:with-param name="v" select="$c/@latitude"/></xsl:call-template></td>
        <td><xsl:call-template name="angle"><xsl:with-param name="v" select="$c/@longitude"/></xsl:call-template></td>
        <td><xsl:call-template name="length"><xsl:with-param name="v" select="$c/@height"/></xsl:call-template></td>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="stations">
    <xsl:variable name="grid" select="boolean(t:Stations/t:Station/t:Coordinate/@easting)"/>
    <xsl:variable name="first"><xsl:choose><xsl:when test="$grid">Easting</xsl:when><xsl:otherwise>Latitude</xsl:otherwise></xsl:choose></xsl:variable>
    <xsl:variable name="second"><xsl:choose><xsl:when test="$grid">Northing</xsl:when><xsl:otherwise>Longitude</xsl:otherwise></xsl:choose></xsl:variable>
    <section id="stations">
      <xsl:call-template name="heading">
        <xsl:with-param name="text" select="'Stations'"/>
        <xsl:with-param name="native" select="t:Summary/@title"/>
      </xsl:call-template>
      <div class="table-wrap"><table>
        <thead><tr>
          <th class="text">Station</th><th class="text">Known</th>
          <th><xsl:value-of select="concat($first, ' (approx.)')"/></th><th><xsl:value-of select="concat($second, ' (approx.)')"/></th><th>Height (approx.)</th>
          <th><xsl:value-of select="$first"/></th><th><xsl:value-of select="$second"/></th><th>Height</th>
          <th>Corr. north</th><th>Corr. east</th><th>Corr. up</th><th>T-test</th><th>T / critical</th>
        </tr></thead>
        <tbody>
          <xsl:for-each select="t:Stations/t:Station">
            <tr>
              <xsl:if test="@tRejected = '1'"><xsl:attribute name="class">rejected</xsl:attribute></xsl:if>
              <td class="text"><xsl:value-of select="@name"/></td>
              <td class="text"><xsl:call-template name="known-text"/></td>
              <xsl:call-template name="coordinate-cells"><xsl:with-param name="c" select="t:Coordinate[@kind = 'approximate']"/><xsl:with-param name="grid" select="$grid"/></xsl:call-template>
              <xsl:call-template name="coordinate-cells"><xsl:with-param name="c" select="t:Coordinate[@kind = 'adjusted']"/><xsl:with-param name="grid" select="$grid"/></xsl:call-template>
              <xsl:for-each select="t:Coordinate[@kind = 'adjusted']">
                <td><xsl:call-template name="small"><xsl:with-param name="v" select="@correctionNorth"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                <td><xsl:call-template name="small"><xsl:with-param name="v" select="@correctionEast"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                <td><xsl:call-template name="small"><xsl:with-param name="v" select="@correctionUp"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
              </xsl:for-each>
              <xsl:if test="not(t:Coordinate[@kind = 'adjusted']/@correctionNorth)"><td>–</td><td>–</td><td>–</td></xsl:if>
              <xsl:choose>
                <xsl:when test="@tTest">
                  <td><xsl:call-template name="real"><xsl:with-param name="v" select="@tTest"/><xsl:with-param name="pattern" select="'0.00'"/></xsl:call-template></td>
                  <td><xsl:call-template name="real"><xsl:with-param name="v" select="@tRatio"/><xsl:with-param name="pattern" select="'0.00'"/></xsl:call-template><xsl:if test="@tRejected = '1'"><span class="mark"> **</span></xsl:if></td>
                </xsl:when>
                <xsl:otherwise><td>–</td><td>–</td></xsl:otherwise>
              </xsl:choose>
            </tr>
          </xsl:for-each>
        </tbody>
      </table></div>
    </section>
  </xsl:template>

  <xsl:template name="known-text">
    <xsl:choose>
      <xsl:when test="(@knownNorth = '1' or @knownEast = '1') and @knownHeight = '1'">position, height</xsl:when>
      <xsl:when test="@knownNorth = '1' or @knownEast = '1'">position</xsl:when>
      <xsl:when test="@knownHeight = '1'">height</xsl:when>
      <xsl:otherwise>–</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ===== Precision =================================================== -->

  <xsl:template name="ellipses">
    <xsl:variable name="table" select="t:Table[@name = 'precision']"/>
    <xsl:if test="t:Ellipses/t:Ellipse or t:Ellipses/t:RelativeEllipse">
      <section id="precision">
        <xsl:call-template name="heading">
          <xsl:with-param name="text" select="'Precision: standard ellipses'"/>
          <xsl:with-param name="native" select="$table/@title"/>
        </xsl:call-template>
        <p class="note">Plain standard values; for confidence regions multiply by
          <xsl:call-template name="real"><xsl:with-param name="v" select="$table/@multiplier1D"/></xsl:call-template> (1D, <xsl:value-of select="$table/@confidence1D"/>) and
          <xsl:call-template name="real"><xsl:with-param name="v" select="$table/@multiplier2D"/></xsl:call-template> (2D, <xsl:value-of select="$table/@confidence2D"/>).</p>
        <xsl:if test="t:Ellipses/t:Ellipse">
          <h3>Absolute</h3>
          <div class="table-wrap"><table>
            <thead><tr><th class="text">Station</th><th>a</th><th>b</th><th>φ</th><th>σ north</th><th>σ east</th><th>σ height</th><th>Criterion</th></tr></thead>
            <tbody>
              <xsl:for-each select="t:Ellipses/t:Ellipse">
                <tr>
                  <td class="text"><xsl:value-of select="@station"/></td>
                  <xsl:call-template name="ellipse-cells"/>
                  <td><xsl:call-template name="small"><xsl:with-param name="v" select="@sdNorth"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                  <td><xsl:call-template name="small"><xsl:with-param name="v" select="@sdEast"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                  <td><xsl:call-template name="small"><xsl:with-param name="v" select="@sdHeight"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                  <td><xsl:call-template name="small"><xsl:with-param name="v" select="@criterion"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                </tr>
              </xsl:for-each>
            </tbody>
          </table></div>
        </xsl:if>
        <xsl:if test="t:Ellipses/t:RelativeEllipse">
          <h3>Relative (observed pairs)</h3>
          <div class="table-wrap"><table>
            <thead><tr><th class="text">From</th><th class="text">To</th><th>a</th><th>b</th><th>ψ</th><th>Length</th><th>σ height diff.</th><th>Criterion</th></tr></thead>
            <tbody>
              <xsl:for-each select="t:Ellipses/t:RelativeEllipse">
                <tr>
                  <td class="text"><xsl:value-of select="@from"/></td>
                  <td class="text"><xsl:value-of select="@to"/></td>
                  <td><xsl:call-template name="small"><xsl:with-param name="v" select="@a"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                  <td><xsl:call-template name="small"><xsl:with-param name="v" select="@b"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                  <td><xsl:call-template name="angle"><xsl:with-param name="v" select="@psi"/></xsl:call-template></td>
                  <td><xsl:call-template name="length"><xsl:with-param name="v" select="@length"/><xsl:with-param name="pattern" select="'0.000'"/></xsl:call-template></td>
                  <td><xsl:call-template name="small"><xsl:with-param name="v" select="@sdHeight"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                  <td><xsl:call-template name="small"><xsl:with-param name="v" select="@criterion"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                </tr>
              </xsl:for-each>
            </tbody>
          </table></div>
        </xsl:if>
      </section>
    </xsl:if>
  </xsl:template>

  <xsl:template name="ellipse-cells">
    <td><xsl:call-template name="small"><xsl:with-param name="v" select="@a"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
    <td><xsl:call-template name="small"><xsl:with-param name="v" select="@b"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
    <td><xsl:call-template name="angle"><xsl:with-param name="v" select="@phi"/></xsl:call-template></td>
  </xsl:template>

  <!-- ===== Side shots ================================================== -->

  <xsl:template name="free-stations">
    <xsl:if test="t:FreeStations/t:FreeStation">
      <section id="free-stations">
        <xsl:call-template name="heading">
          <xsl:with-param name="text" select="'Side shots (free stations)'"/>
          <xsl:with-param name="native" select="t:FreeStations/@title"/>
        </xsl:call-template>
        <div class="table-wrap"><table>
          <thead><tr><th class="text">Station</th><th class="text">Held station</th><th class="text">Kind</th><th>Record</th><th>a</th><th>b</th><th>φ</th><th>σ height</th></tr></thead>
          <tbody>
            <xsl:for-each select="t:FreeStations/t:FreeStation">
              <tr>
                <td class="text"><xsl:value-of select="@name"/></td>
                <td class="text"><xsl:value-of select="@heldStation"/></td>
                <td class="text native"><xsl:value-of select="@kind"/></td>
                <td><xsl:value-of select="@record"/></td>
                <xsl:choose>
                  <xsl:when test="t:Ellipse">
                    <xsl:for-each select="t:Ellipse"><xsl:call-template name="ellipse-cells"/>
                      <td><xsl:call-template name="small"><xsl:with-param name="v" select="@sdHeight"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                    </xsl:for-each>
                  </xsl:when>
                  <xsl:otherwise><td>–</td><td>–</td><td>–</td><td>–</td></xsl:otherwise>
                </xsl:choose>
              </tr>
            </xsl:for-each>
          </tbody>
        </table></div>
      </section>
    </xsl:if>
  </xsl:template>

  <!-- ===== Observations ================================================ -->

  <xsl:template name="observations">
    <section id="observations">
      <xsl:call-template name="heading">
        <xsl:with-param name="text" select="'Observations'"/>
        <xsl:with-param name="native" select="t:Table[@name = 'observations']/@title"/>
      </xsl:call-template>
      <div class="table-wrap"><table class="observations">
        <thead><tr>
          <th>Record</th><th class="text">Station</th><th class="text">Target</th><th class="text">Code</th>
          <th>Observed</th><th>σ</th><th>Adjusted</th><th>Residual</th><th>σ adjusted</th>
          <th>W-test</th><th>Estimated error</th><th>MDB</th><th>Red. %</th><th>BNR</th>
        </tr></thead>
        <tbody>
          <xsl:for-each select="t:Observations/t:Observation/t:ObservationRecord">
            <tr>
              <xsl:if test="@rejected = '1'"><xsl:attribute name="class">rejected</xsl:attribute></xsl:if>
              <td><xsl:value-of select="../@record"/></td>
              <td class="text"><xsl:value-of select="../@station"/></td>
              <xsl:call-template name="cell"><xsl:with-param name="text" select="../@target"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
              <td class="text"><xsl:value-of select="@code"/></td>
              <td><xsl:call-template name="optional-reading"><xsl:with-param name="v" select="@observed"/></xsl:call-template></td>
              <td><xsl:call-template name="optional-small"><xsl:with-param name="v" select="@sd"/></xsl:call-template></td>
              <td><xsl:call-template name="optional-reading"><xsl:with-param name="v" select="@adjusted"/></xsl:call-template></td>
              <td><xsl:call-template name="optional-small"><xsl:with-param name="v" select="@residual"/></xsl:call-template></td>
              <td><xsl:call-template name="optional-small"><xsl:with-param name="v" select="@sdAdjusted"/></xsl:call-template></td>
              <td><xsl:choose>
                <xsl:when test="@w"><xsl:call-template name="real"><xsl:with-param name="v" select="@w"/><xsl:with-param name="pattern" select="'0.00'"/></xsl:call-template><xsl:if test="@rejected = '1'"><span class="mark"> **</span></xsl:if></xsl:when>
                <xsl:otherwise>–</xsl:otherwise></xsl:choose></td>
              <td><xsl:call-template name="optional-small"><xsl:with-param name="v" select="@estimatedError"/></xsl:call-template></td>
              <td><xsl:call-template name="optional-small"><xsl:with-param name="v" select="@mdb"/></xsl:call-template></td>
              <td><xsl:choose><xsl:when test="@redundancy"><xsl:call-template name="real"><xsl:with-param name="v" select="@redundancy"/><xsl:with-param name="pattern" select="'0'"/></xsl:call-template></xsl:when><xsl:otherwise>–</xsl:otherwise></xsl:choose></td>
              <td><xsl:choose><xsl:when test="@bnr"><xsl:call-template name="real"><xsl:with-param name="v" select="@bnr"/><xsl:with-param name="pattern" select="'0.0'"/></xsl:call-template></xsl:when><xsl:otherwise>–</xsl:otherwise></xsl:choose></td>
            </tr>
          </xsl:for-each>
        </tbody>
      </table></div>
    </section>
  </xsl:template>

  <xsl:template name="optional-reading">
    <xsl:param name="v"/>
    <xsl:choose>
      <xsl:when test="$v"><xsl:call-template name="reading"><xsl:with-param name="v" select="$v"/><xsl:with-param name="unit" select="@unit"/></xsl:call-template></xsl:when>
      <xsl:otherwise>–</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="optional-small">
    <xsl:param name="v"/>
    <xsl:choose>
      <xsl:when test="$v"><xsl:call-template name="small"><xsl:with-param name="v" select="$v"/><xsl:with-param name="unit" select="@unit"/></xsl:call-template></xsl:when>
      <xsl:otherwise>–</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ===== Additional parameters and lists ============================= -->

  <xsl:template name="parameters">
    <xsl:if test="t:AdditionalParameters/t:AdditionalParameter">
      <section id="parameters">
        <xsl:call-template name="heading">
          <xsl:with-param name="text" select="'Additional parameters'"/>
          <xsl:with-param name="native" select="t:AdditionalParameters/@title"/>
        </xsl:call-template>
        <div class="table-wrap"><table>
          <thead><tr><th class="text">Parameter</th><th class="text">Kernel label</th><th class="text">Station</th><th>Group</th><th>A priori</th><th>Value</th><th>σ</th></tr></thead>
          <tbody>
            <xsl:for-each select="t:AdditionalParameters/t:AdditionalParameter">
              <tr>
                <td class="text"><xsl:value-of select="@kind"/></td>
                <td class="text native"><xsl:value-of select="@label"/></td>
                <xsl:call-template name="cell"><xsl:with-param name="text" select="@station"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
                <td><xsl:value-of select="@group"/></td>
                <td><xsl:choose><xsl:when test="@aPriori"><xsl:call-template name="reading"><xsl:with-param name="v" select="@aPriori"/><xsl:with-param name="unit" select="@unit"/></xsl:call-template></xsl:when><xsl:otherwise>–</xsl:otherwise></xsl:choose></td>
                <td><xsl:call-template name="reading"><xsl:with-param name="v" select="@value"/><xsl:with-param name="unit" select="@unit"/></xsl:call-template></td>
                <td><xsl:call-template name="small"><xsl:with-param name="v" select="@sd"/><xsl:with-param name="unit" select="@unit"/></xsl:call-template></td>
              </tr>
            </xsl:for-each>
          </tbody>
        </table></div>
      </section>
    </xsl:if>
  </xsl:template>

  <xsl:template name="lists">
    <section id="parameters-of-the-run">
      <xsl:call-template name="heading">
        <xsl:with-param name="text" select="'Test parameters and projection'"/>
        <xsl:with-param name="native" select="t:Summary/t:SummaryList[@name = 'testParameters']/@title"/>
      </xsl:call-template>
      <xsl:call-template name="item-table"><xsl:with-param name="items" select="t:Summary/t:SummaryList[@name = 'testParameters' or @name = 'projection']/t:Item"/></xsl:call-template>
    </section>
  </xsl:template>

  <!-- ===== Network plot ================================================ -->

  <xsl:template name="plot">
    <xsl:variable name="points" select="t:Stations/t:Station[@planeEasting] | t:FreeStations/t:FreeStation[@planeEasting]"/>
    <xsl:if test="$points">
      <xsl:variable name="minE"><xsl:call-template name="extreme"><xsl:with-param name="nodes" select="$points"/><xsl:with-param name="attribute" select="'planeEasting'"/></xsl:call-template></xsl:variable>
      <xsl:variable name="maxE"><xsl:call-template name="extreme"><xsl:with-param name="nodes" select="$points"/><xsl:with-param name="attribute" select="'planeEasting'"/><xsl:with-param name="largest" select="true()"/></xsl:call-template></xsl:variable>
      <xsl:variable name="minN"><xsl:call-template name="extreme"><xsl:with-param name="nodes" select="$points"/><xsl:with-param name="attribute" select="'planeNorthing'"/></xsl:call-template></xsl:variable>
      <xsl:variable name="maxN"><xsl:call-template name="extreme"><xsl:with-param name="nodes" select="$points"/><xsl:with-param name="attribute" select="'planeNorthing'"/><xsl:with-param name="largest" select="true()"/></xsl:call-template></xsl:variable>
      <xsl:variable name="width" select="number($maxE) - number($minE)"/>
      <xsl:variable name="height" select="number($maxN) - number($minN)"/>
      <xsl:variable name="size" select="($width &gt;= $height) * $width + ($width &lt; $height) * $height + ($width = 0 and $height = 0) * 100"/>
      <xsl:variable name="amax"><xsl:call-template name="extreme"><xsl:with-param name="nodes" select="t:Ellipses/t:Ellipse | t:Ellipses/t:RelativeEllipse | t:FreeStations/t:FreeStation/t:Ellipse"/><xsl:with-param name="attribute" select="'a'"/><xsl:with-param name="largest" select="true()"/></xsl:call-template></xsl:variable>
      <!-- The largest ellipse drawn about 6 % of the network's size. -->
      <xsl:variable name="factor">
        <xsl:choose>
          <xsl:when test="number($amax) &gt; 0"><xsl:call-template name="round-down-125"><xsl:with-param name="x" select="$size * 0.06 div number($amax)"/></xsl:call-template></xsl:when>
          <xsl:otherwise>0</xsl:otherwise>
        </xsl:choose>
      </xsl:variable>
      <xsl:variable name="m" select="$size * 0.1"/>
      <section id="plot">
        <xsl:call-template name="heading"><xsl:with-param name="text" select="'Network'"/></xsl:call-template>
        <figure class="plot">
          <svg xmlns="http://www.w3.org/2000/svg" class="network" role="img"
              viewBox="{- $m} {- $m} {$width + 2 * $m} {$height + 2 * $m}" preserveAspectRatio="xMidYMid meet">
            <xsl:attribute name="aria-label"><xsl:value-of select="concat('Network ', @name)"/></xsl:attribute>
            <g class="observations">
              <xsl:call-template name="plot-observations"><xsl:with-param name="minE" select="number($minE)"/><xsl:with-param name="maxN" select="number($maxN)"/></xsl:call-template>
            </g>
            <g class="ellipses">
              <xsl:if test="number($factor) &gt; 0">
                <xsl:call-template name="plot-ellipses"><xsl:with-param name="minE" select="number($minE)"/><xsl:with-param name="maxN" select="number($maxN)"/><xsl:with-param name="factor" select="number($factor)"/></xsl:call-template>
              </xsl:if>
            </g>
            <g class="stations">
              <xsl:for-each select="$points">
                <xsl:call-template name="plot-station">
                  <xsl:with-param name="node" select="."/>
                  <xsl:with-param name="x"><xsl:call-template name="plot-x"><xsl:with-param name="node" select="."/><xsl:with-param name="minE" select="number($minE)"/></xsl:call-template></xsl:with-param>
                  <xsl:with-param name="y"><xsl:call-template name="plot-y"><xsl:with-param name="node" select="."/><xsl:with-param name="maxN" select="number($maxN)"/></xsl:call-template></xsl:with-param>
                  <xsl:with-param name="size" select="$size"/>
                  <xsl:with-param name="known" select="@knownNorth = '1' or @knownEast = '1' or @knownHeight = '1'"/>
                  <xsl:with-param name="extraClass" select="concat(substring(' rejected', 1, 9 * (@tRejected = '1')), substring(' free', 1, 5 * boolean(self::t:FreeStation)))"/>
                </xsl:call-template>
              </xsl:for-each>
            </g>
            <xsl:call-template name="plot-furniture">
              <xsl:with-param name="size" select="$size"/>
              <xsl:with-param name="width" select="$width"/>
              <xsl:with-param name="height" select="$height"/>
              <xsl:with-param name="factor" select="number($factor)"/>
            </xsl:call-template>
          </svg>
          <figcaption>
            <xsl:text>Plane coordinates, north up</xsl:text>
            <xsl:if test="t:Stations/t:Plane/@source = 'local'"> (a local stereographic plane centred on the network: the project has no map projection)</xsl:if>
            <xsl:text>. ▲ known station, ○ new station; lines join observed pairs, </xsl:text>
            <span class="rejected">red dashed: a rejected test</span>
            <xsl:if test="number($factor) &gt; 0">
              <xsl:value-of select="concat('. Standard ellipses (absolute: filled; relative: dashed, at the middle of the pair) enlarged ', format-number(number($factor), '0.###'), ' times')"/>
            </xsl:if>
            <xsl:text>.</xsl:text>
          </figcaption>
        </figure>
      </section>
    </xsl:if>
  </xsl:template>

  <!-- One line per observed station pair: the first observation of each
       pair (grouped by the key), rejected when any test of the pair's
       observations is. Side shots hang on their held station. -->
  <xsl:template name="plot-observations">
    <xsl:param name="minE"/>
    <xsl:param name="maxN"/>
    <xsl:for-each select="t:Observations/t:Observation[number(@targetNumber) &gt; 0 and @targetNumber != @stationNumber]">
      <xsl:variable name="k" select="concat(substring(concat(@stationNumber, '-', @targetNumber), 1 div (number(@stationNumber) &lt; number(@targetNumber))),
                  substring(concat(@targetNumber, '-', @stationNumber), 1 div (number(@stationNumber) &gt; number(@targetNumber))))"/>
      <xsl:variable name="group" select="key('pair', $k)"/>
      <xsl:variable name="from" select="key('station', @stationNumber)[@planeEasting][1]"/>
      <xsl:variable name="to" select="key('station', @targetNumber)[@planeEasting][1]"/>
      <xsl:if test="generate-id() = generate-id($group[1]) and $from and $to">
        <xsl:variable name="rejected" select="$group//*[@rejected = '1']"/>
        <xsl:call-template name="plot-line">
          <xsl:with-param name="from" select="$from"/><xsl:with-param name="to" select="$to"/>
          <xsl:with-param name="minE" select="$minE"/><xsl:with-param name="maxN" select="$maxN"/>
          <xsl:with-param name="class" select="concat('obs', substring(' rejected', 1, 9 * boolean($rejected)))"/>
          <xsl:with-param name="title" select="concat($from/@name, ' – ', $to/@name, ': ', count($group/t:ObservationRecord), ' reading(s)', substring(', rejected', 1, 10 * boolean($rejected)))"/>
        </xsl:call-template>
      </xsl:if>
    </xsl:for-each>
    <xsl:for-each select="t:FreeStations/t:FreeStation[@planeEasting]">
      <xsl:variable name="held" select="key('station', @heldNumber)[@planeEasting][1]"/>
      <xsl:if test="$held">
        <xsl:call-template name="plot-line">
          <xsl:with-param name="from" select="$held"/><xsl:with-param name="to" select="."/>
          <xsl:with-param name="minE" select="$minE"/><xsl:with-param name="maxN" select="$maxN"/>
          <xsl:with-param name="class" select="'obs free'"/>
          <xsl:with-param name="title" select="concat($held/@name, ' – ', @name, ': side shot')"/>
        </xsl:call-template>
      </xsl:if>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="plot-line" xmlns="http://www.w3.org/2000/svg">
    <xsl:param name="from"/>
    <xsl:param name="to"/>
    <xsl:param name="minE"/>
    <xsl:param name="maxN"/>
    <xsl:param name="class"/>
    <xsl:param name="title"/>
    <xsl:variable name="x1"><xsl:call-template name="plot-x"><xsl:with-param name="node" select="$from"/><xsl:with-param name="minE" select="$minE"/></xsl:call-template></xsl:variable>
    <xsl:variable name="y1"><xsl:call-template name="plot-y"><xsl:with-param name="node" select="$from"/><xsl:with-param name="maxN" select="$maxN"/></xsl:call-template></xsl:variable>
    <xsl:variable name="x2"><xsl:call-template name="plot-x"><xsl:with-param name="node" select="$to"/><xsl:with-param name="minE" select="$minE"/></xsl:call-template></xsl:variable>
    <xsl:variable name="y2"><xsl:call-template name="plot-y"><xsl:with-param name="node" select="$to"/><xsl:with-param name="maxN" select="$maxN"/></xsl:call-template></xsl:variable>
    <line class="{$class}" x1="{$x1}" y1="{$y1}" x2="{$x2}" y2="{$y2}"><title><xsl:value-of select="$title"/></title></line>
  </xsl:template>

  <!-- Ellipses in the plot: semi-axes times the factor, the major axis
       turned from north towards east by φ (ψ), which is SVG's clockwise
       rotation with y pointing south. -->
  <xsl:template name="plot-ellipses">
    <xsl:param name="minE"/>
    <xsl:param name="maxN"/>
    <xsl:param name="factor"/>
    <xsl:for-each select="t:Ellipses/t:Ellipse | t:FreeStations/t:FreeStation/t:Ellipse">
      <xsl:variable name="at" select="key('station', @number)[@planeEasting][1]"/>
      <xsl:if test="$at">
        <xsl:call-template name="plot-ellipse">
          <xsl:with-param name="x"><xsl:call-template name="plot-x"><xsl:with-param name="node" select="$at"/><xsl:with-param name="minE" select="$minE"/></xsl:call-template></xsl:with-param>
          <xsl:with-param name="y"><xsl:call-template name="plot-y"><xsl:with-param name="node" select="$at"/><xsl:with-param name="maxN" select="$maxN"/></xsl:call-template></xsl:with-param>
          <xsl:with-param name="factor" select="$factor"/>
          <xsl:with-param name="direction" select="@phi"/>
          <xsl:with-param name="class" select="'ellipse'"/>
        </xsl:call-template>
      </xsl:if>
    </xsl:for-each>
    <xsl:for-each select="t:Ellipses/t:RelativeEllipse">
      <xsl:variable name="from" select="key('station', @fromNumber)[@planeEasting][1]"/>
      <xsl:variable name="to" select="key('station', @toNumber)[@planeEasting][1]"/>
      <xsl:if test="$from and $to">
        <xsl:variable name="x1"><xsl:call-template name="plot-x"><xsl:with-param name="node" select="$from"/><xsl:with-param name="minE" select="$minE"/></xsl:call-template></xsl:variable>
        <xsl:variable name="y1"><xsl:call-template name="plot-y"><xsl:with-param name="node" select="$from"/><xsl:with-param name="maxN" select="$maxN"/></xsl:call-template></xsl:variable>
        <xsl:variable name="x2"><xsl:call-template name="plot-x"><xsl:with-param name="node" select="$to"/><xsl:with-param name="minE" select="$minE"/></xsl:call-template></xsl:variable>
        <xsl:variable name="y2"><xsl:call-template name="plot-y"><xsl:with-param name="node" select="$to"/><xsl:with-param name="maxN" select="$maxN"/></xsl:call-template></xsl:variable>
        <xsl:call-template name="plot-ellipse">
          <xsl:with-param name="x" select="(number($x1) + number($x2)) div 2"/>
          <xsl:with-param name="y" select="(number($y1) + number($y2)) div 2"/>
          <xsl:with-param name="factor" select="$factor"/>
          <xsl:with-param name="direction" select="@psi"/>
          <xsl:with-param name="class" select="'ellipse relative'"/>
        </xsl:call-template>
      </xsl:if>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="plot-ellipse" xmlns="http://www.w3.org/2000/svg">
    <xsl:param name="x"/>
    <xsl:param name="y"/>
    <xsl:param name="factor"/>
    <xsl:param name="direction"/>
    <xsl:param name="class"/>
    <xsl:variable name="a"><xsl:call-template name="num"><xsl:with-param name="v" select="@a"/></xsl:call-template></xsl:variable>
    <xsl:variable name="b"><xsl:call-template name="num"><xsl:with-param name="v" select="@b"/></xsl:call-template></xsl:variable>
    <xsl:variable name="phi"><xsl:call-template name="num"><xsl:with-param name="v" select="$direction"/></xsl:call-template></xsl:variable>
    <xsl:if test="number($a) &gt; 0">
      <ellipse class="{$class}" cx="0" cy="0"
          rx="{number($b) * $factor}" ry="{number($a) * $factor}"
          transform="translate({$x},{$y}) rotate({number($phi) * 180 div $pi})"/>
    </xsl:if>
  </xsl:template>

</xsl:stylesheet>
