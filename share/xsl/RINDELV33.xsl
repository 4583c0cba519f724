<?xml version="1.0" encoding="UTF-8"?>
<!-- The loop run's result document as a report: the summary first, the
     loops drawn over the network (flagged ones in red), then per kind each
     loop with its observations and misclosures.
     Vocabulary: docs/result-documents.md. -->
<xsl:stylesheet version="1.0"
    xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:t="urn:tavex:result:3.3"
    xmlns="http://www.w3.org/1999/xhtml"
    exclude-result-prefixes="t">

  <xsl:include href="tavex-common.xsl"/>

  <!-- Loop stations by station number, to draw each station once. -->
  <xsl:key name="loop-station" match="t:LoopStation" use="@stationNumber"/>

  <xsl:template match="/">
    <xsl:for-each select="t:Result/t:Project">
      <xsl:call-template name="page">
        <xsl:with-param name="title" select="'Loops and misclosures'"/>
        <xsl:with-param name="kernelTitle" select="t:Loops/@title"/>
        <xsl:with-param name="body">
          <xsl:call-template name="summary"/>
          <xsl:call-template name="plot"/>
          <xsl:call-template name="rejected-switch"/>
          <xsl:for-each select="t:Loops/t:LoopKind"><xsl:call-template name="kind"/></xsl:for-each>
        </xsl:with-param>
      </xsl:call-template>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="summary">
    <section id="summary">
      <xsl:call-template name="heading"><xsl:with-param name="text" select="'Summary'"/></xsl:call-template>
      <div>
        <xsl:attribute name="class">verdict<xsl:if test="t:Summary/@rejectedLoops != '0'"> rejected</xsl:if></xsl:attribute>
        <xsl:value-of select="concat(t:Summary/@loops, ' loop(s), ', t:Summary/@rejectedLoops, ' with a misclosure above the critical value')"/>
      </div>
      <div class="cards">
        <div class="card">Critical value W-test<b><xsl:call-template name="real"><xsl:with-param name="v" select="t:Loops/@criticalW"/><xsl:with-param name="pattern" select="'0.###'"/></xsl:call-template></b></div>
      </div>
      <div class="table-wrap"><table>
        <thead><tr><th class="text">Kind</th><th class="text">Kernel title</th><th>Independent loops</th><th>Found</th><th>Flagged</th><th class="text">Note</th></tr></thead>
        <tbody>
          <xsl:for-each select="t:Loops/t:LoopKind">
            <tr>
              <xsl:if test="t:Loop[@rejected = '1']"><xsl:attribute name="class">rejected</xsl:attribute></xsl:if>
              <td class="text"><xsl:call-template name="family-name"/></td>
              <td class="text native"><xsl:value-of select="@title"/></td>
              <td><xsl:value-of select="@wanted"/></td>
              <td><xsl:value-of select="@found"/></td>
              <td><xsl:value-of select="count(t:Loop[@rejected = '1'])"/></td>
              <xsl:call-template name="cell"><xsl:with-param name="text" select="@message"/><xsl:with-param name="class" select="'text native'"/></xsl:call-template>
            </tr>
          </xsl:for-each>
        </tbody>
      </table></div>
    </section>
  </xsl:template>

  <xsl:template name="family-name">
    <xsl:choose>
      <xsl:when test="@family = 'gps'">GPS baselines</xsl:when>
      <xsl:when test="@family = 'traverse'">Traverses (directions and distances)</xsl:when>
      <xsl:when test="@family = 'height'">Levelled height differences</xsl:when>
      <xsl:when test="@family = 'trigonometric'">Trigonometric heights</xsl:when>
      <xsl:otherwise><xsl:value-of select="@family"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="kind">
    <section class="loop-kind">
      <xsl:attribute name="id"><xsl:value-of select="concat('kind-', @family)"/></xsl:attribute>
      <xsl:call-template name="heading">
        <xsl:with-param name="text"><xsl:call-template name="family-name"/></xsl:with-param>
        <xsl:with-param name="native" select="@title"/>
      </xsl:call-template>
      <xsl:if test="not(t:Loop)"><p class="note">No loops found <span class="native"><xsl:value-of select="@message"/></span></p></xsl:if>
      <xsl:for-each select="t:Loop"><xsl:call-template name="loop"/></xsl:for-each>
    </section>
  </xsl:template>

  <xsl:template name="loop">
    <h3>
      <xsl:if test="@rejected = '1'"><xsl:attribute name="class">rejected</xsl:attribute><span class="mark">** </span></xsl:if>
      <xsl:value-of select="concat('Loop ', @number, ': ')"/>
      <xsl:for-each select="t:LoopStation"><xsl:value-of select="concat(@name, ' – ')"/></xsl:for-each>
      <xsl:value-of select="t:LoopStation[1]/@name"/>
    </h3>
    <p class="note">
      <xsl:text>Length </xsl:text>
      <xsl:call-template name="length"><xsl:with-param name="v" select="@length"/><xsl:with-param name="pattern" select="'0.0'"/></xsl:call-template>
      <xsl:value-of select="concat(' ', $lengthUnit)"/>
      <xsl:if test="@hasTolerance = '1'">
        <xsl:text> · tolerance </xsl:text>
        <xsl:call-template name="small"><xsl:with-param name="v" select="@tolerance"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template>
      </xsl:if>
      <xsl:if test="t:LoopStation[@angle = '0']">
        <xsl:text> · stations without an angle: </xsl:text>
        <xsl:for-each select="t:LoopStation[@angle = '0']"><xsl:value-of select="@name"/><xsl:if test="position() != last()">, </xsl:if></xsl:for-each>
      </xsl:if>
    </p>
    <div class="table-wrap"><table class="misclosures">
      <thead><tr><th class="text">Misclosure</th><th>Value</th><th>σ</th><th>Test</th></tr></thead>
      <tbody>
        <xsl:for-each select="t:Misclosure">
          <tr>
            <xsl:if test="@rejected = '1'"><xsl:attribute name="class">rejected</xsl:attribute></xsl:if>
            <td class="text"><xsl:value-of select="@name"/></td>
            <td><xsl:call-template name="small"><xsl:with-param name="v" select="@value"/><xsl:with-param name="unit" select="@unit"/></xsl:call-template></td>
            <td><xsl:call-template name="small"><xsl:with-param name="v" select="@sd"/><xsl:with-param name="unit" select="@unit"/></xsl:call-template></td>
            <td><xsl:call-template name="real"><xsl:with-param name="v" select="@test"/><xsl:with-param name="pattern" select="'0.00'"/></xsl:call-template><xsl:if test="@rejected = '1'"><span class="mark"> **</span></xsl:if></td>
          </tr>
        </xsl:for-each>
      </tbody>
    </table></div>
    <div class="table-wrap"><table class="loop-observations">
      <thead><tr><th class="text">Identification</th><th class="text">Reading</th><th class="text">From</th><th class="text">To</th><th class="text">Code</th><th>Value 1</th><th>Value 2</th><th>Value 3</th></tr></thead>
      <tbody>
        <xsl:for-each select="t:LoopObservation">
          <tr>
            <td class="text"><xsl:value-of select="@identification"/></td>
            <td class="text"><xsl:value-of select="@reading"/></td>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@from"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@to"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@code"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <xsl:for-each select="@value1 | @value2 | @value3">
              <td><xsl:call-template name="reading"><xsl:with-param name="v" select="."/><xsl:with-param name="unit" select="../@unit"/></xsl:call-template></td>
            </xsl:for-each>
            <xsl:if test="not(@value2)"><td>–</td></xsl:if>
            <xsl:if test="not(@value3)"><td>–</td></xsl:if>
          </tr>
        </xsl:for-each>
      </tbody>
    </table></div>
  </xsl:template>

  <!-- ===== The loops drawn ============================================== -->

  <xsl:template name="plot">
    <xsl:variable name="points" select=".//t:LoopStation[@planeEasting][generate-id() = generate-id(key('loop-station', @stationNumber)[1])]"/>
    <xsl:if test="$points">
      <xsl:variable name="minE"><xsl:call-template name="extreme"><xsl:with-param name="nodes" select="$points"/><xsl:with-param name="attribute" select="'planeEasting'"/></xsl:call-template></xsl:variable>
      <xsl:variable name="maxE"><xsl:call-template name="extreme"><xsl:with-param name="nodes" select="$points"/><xsl:with-param name="attribute" select="'planeEasting'"/><xsl:with-param name="largest" select="true()"/></xsl:call-template></xsl:variable>
      <xsl:variable name="minN"><xsl:call-template name="extreme"><xsl:with-param name="nodes" select="$points"/><xsl:with-param name="attribute" select="'planeNorthing'"/></xsl:call-template></xsl:variable>
      <xsl:variable name="maxN"><xsl:call-template name="extreme"><xsl:with-param name="nodes" select="$points"/><xsl:with-param name="attribute" select="'planeNorthing'"/><xsl:with-param name="largest" select="true()"/></xsl:call-template></xsl:variable>
      <xsl:variable name="width" select="number($maxE) - number($minE)"/>
      <xsl:variable name="height" select="number($maxN) - number($minN)"/>
      <xsl:variable name="size" select="($width &gt;= $height) * $width + ($width &lt; $height) * $height + ($width = 0 and $height = 0) * 100"/>
      <xsl:variable name="m" select="$size * 0.1"/>
      <section id="plot">
        <xsl:call-template name="heading"><xsl:with-param name="text" select="'Loops in the network'"/></xsl:call-template>
        <figure class="plot">
          <svg xmlns="http://www.w3.org/2000/svg" class="network" role="img"
              viewBox="{- $m} {- $m} {$width + 2 * $m} {$height + 2 * $m}" preserveAspectRatio="xMidYMid meet">
            <g class="loops">
              <!-- Flagged loops last, so that they are drawn on top. -->
              <xsl:for-each select="t:Loops/t:LoopKind/t:Loop[not(t:LoopStation[not(@planeEasting)])]">
                <xsl:sort select="@rejected" data-type="number"/>
                <xsl:call-template name="plot-loop"><xsl:with-param name="minE" select="number($minE)"/><xsl:with-param name="maxN" select="number($maxN)"/></xsl:call-template>
              </xsl:for-each>
            </g>
            <g class="stations">
              <xsl:for-each select="$points">
                <xsl:call-template name="plot-station">
                  <xsl:with-param name="node" select="."/>
                  <xsl:with-param name="x"><xsl:call-template name="plot-x"><xsl:with-param name="node" select="."/><xsl:with-param name="minE" select="number($minE)"/></xsl:call-template></xsl:with-param>
                  <xsl:with-param name="y"><xsl:call-template name="plot-y"><xsl:with-param name="node" select="."/><xsl:with-param name="maxN" select="number($maxN)"/></xsl:call-template></xsl:with-param>
                  <xsl:with-param name="size" select="$size"/>
                  <xsl:with-param name="known" select="@known = '1'"/>
                  <xsl:with-param name="extraClass" select="substring(' rejected', 1, 9 * boolean(key('loop-station', @stationNumber)/parent::t:Loop[@rejected = '1']))"/>
                </xsl:call-template>
              </xsl:for-each>
            </g>
            <xsl:call-template name="plot-furniture">
              <xsl:with-param name="size" select="$size"/>
              <xsl:with-param name="width" select="$width"/>
              <xsl:with-param name="height" select="$height"/>
            </xsl:call-template>
          </svg>
          <figcaption>
            <xsl:text>Plane coordinates, north up</xsl:text>
            <xsl:if test="t:Loops/t:Plane/@source = 'local'"> (a local stereographic plane centred on the network: the project has no map projection)</xsl:if>
            <xsl:text>. ▲ known station, ○ new station; each loop is outlined, </xsl:text>
            <span class="rejected">red: a flagged loop</span><xsl:text>.</xsl:text>
          </figcaption>
        </figure>
      </section>
    </xsl:if>
  </xsl:template>

  <xsl:template name="plot-loop" xmlns="http://www.w3.org/2000/svg">
    <xsl:param name="minE"/>
    <xsl:param name="maxN"/>
    <polygon>
      <xsl:attribute name="class"><xsl:value-of select="concat('loop ', @family, substring(' rejected', 1, 9 * (@rejected = '1')))"/></xsl:attribute>
      <xsl:attribute name="points">
        <xsl:for-each select="t:LoopStation">
          <xsl:call-template name="plot-x"><xsl:with-param name="node" select="."/><xsl:with-param name="minE" select="$minE"/></xsl:call-template>
          <xsl:text>,</xsl:text>
          <xsl:call-template name="plot-y"><xsl:with-param name="node" select="."/><xsl:with-param name="maxN" select="$maxN"/></xsl:call-template>
          <xsl:text> </xsl:text>
        </xsl:for-each>
      </xsl:attribute>
      <title><xsl:value-of select="concat(@family, ' loop ', @number, substring(' (flagged)', 1, 10 * (@rejected = '1')))"/></title>
    </polygon>
  </xsl:template>

</xsl:stylesheet>
