<?xml version="1.0" encoding="UTF-8"?>
<!-- The approximate-coordinate document as a report: the summary first,
     then the computed stations, the fits onto the known stations and
     heights (rejected known stations in red) and the stations not computed.
     Vocabulary: docs/result-documents.md. -->
<xsl:stylesheet version="1.0"
    xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:t="urn:tavex:result:3.3"
    xmlns="http://www.w3.org/1999/xhtml"
    exclude-result-prefixes="t">

  <xsl:include href="tavex-common.xsl"/>

  <xsl:template match="/">
    <xsl:for-each select="t:Result/t:Project">
      <xsl:call-template name="page">
        <xsl:with-param name="title" select="'Approximate coordinates'"/>
        <xsl:with-param name="kernelTitle" select="t:Cogo/@title"/>
        <xsl:with-param name="body">
          <xsl:call-template name="summary"/>
          <xsl:call-template name="rejected-switch"/>
          <xsl:call-template name="stations"/>
          <xsl:call-template name="plane-fit"/>
          <xsl:call-template name="height-fit"/>
          <xsl:call-template name="not-computed"/>
        </xsl:with-param>
      </xsl:call-template>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="summary">
    <xsl:variable name="s" select="t:Summary"/>
    <section id="summary">
      <xsl:call-template name="heading"><xsl:with-param name="text" select="'Summary'"/></xsl:call-template>
      <div>
        <xsl:attribute name="class">verdict<xsl:if test="$s/@notComputed != '0' or $s/@rejectedKnownStations != '0' or $s/@rejectedKnownHeights != '0'"> rejected</xsl:if></xsl:attribute>
        <xsl:value-of select="concat($s/@computed, ' of ', $s/@stations, ' stations computed')"/>
        <xsl:if test="$s/@notComputed != '0'"><xsl:value-of select="concat(', ', $s/@notComputed, ' not computed')"/></xsl:if>
      </div>
      <div class="cards">
        <div class="card">Known stations rejected by the fit<b><xsl:value-of select="$s/@rejectedKnownStations"/></b></div>
        <div class="card">Known heights rejected by the fit<b><xsl:value-of select="$s/@rejectedKnownHeights"/></b></div>
        <div class="card">Plane<b><xsl:choose><xsl:when test="t:Cogo/@projected = '1'">the project's grid</xsl:when><xsl:otherwise>local stereographic</xsl:otherwise></xsl:choose></b></div>
      </div>
    </section>
  </xsl:template>

  <xsl:template name="station-rows">
    <xsl:param name="stations"/>
    <div class="table-wrap"><table>
      <thead><tr><th class="text">Station</th><th class="text">Computed</th><th>Easting</th><th>Northing</th><th>Latitude</th><th>Longitude</th><th>Height</th></tr></thead>
      <tbody>
        <xsl:for-each select="$stations">
          <tr>
            <td class="text"><xsl:value-of select="@name"/></td>
            <td class="text">
              <xsl:choose>
                <xsl:when test="@horizontal = '1' and @height = '1'">position, height</xsl:when>
                <xsl:when test="@horizontal = '1'">position</xsl:when>
                <xsl:when test="@height = '1'">height</xsl:when>
                <xsl:otherwise>–</xsl:otherwise>
              </xsl:choose>
            </td>
            <xsl:choose>
              <xsl:when test="@horizontal = '1'">
                <td><xsl:call-template name="length"><xsl:with-param name="v" select="@easting"/></xsl:call-template></td>
                <td><xsl:call-template name="length"><xsl:with-param name="v" select="@northing"/></xsl:call-template></td>
                <td><xsl:call-template name="angle"><xsl:with-param name="v" select="@lat"/></xsl:call-template></td>
                <td><xsl:call-template name="angle"><xsl:with-param name="v" select="@lon"/></xsl:call-template></td>
              </xsl:when>
              <xsl:otherwise><td>–</td><td>–</td><td>–</td><td>–</td></xsl:otherwise>
            </xsl:choose>
            <td><xsl:choose><xsl:when test="@height = '1'"><xsl:call-template name="length"><xsl:with-param name="v" select="@h"/></xsl:call-template></xsl:when><xsl:otherwise>–</xsl:otherwise></xsl:choose></td>
          </tr>
        </xsl:for-each>
      </tbody>
    </table></div>
  </xsl:template>

  <xsl:template name="stations">
    <section id="stations">
      <xsl:call-template name="heading">
        <xsl:with-param name="text" select="'Computed stations'"/>
        <xsl:with-param name="native" select="t:Cogo/@title"/>
      </xsl:call-template>
      <xsl:choose>
        <xsl:when test="t:Cogo/t:Station"><xsl:call-template name="station-rows"><xsl:with-param name="stations" select="t:Cogo/t:Station"/></xsl:call-template></xsl:when>
        <xsl:otherwise><p class="note">none</p></xsl:otherwise>
      </xsl:choose>
    </section>
  </xsl:template>

  <xsl:template name="fit-heading">
    <xsl:param name="text"/>
    <xsl:call-template name="heading">
      <xsl:with-param name="text" select="$text"/>
      <xsl:with-param name="native" select="@title"/>
    </xsl:call-template>
    <xsl:if test="@fitted != '1'"><p class="note">Not fitted <span class="native"><xsl:value-of select="@message"/></span></p></xsl:if>
  </xsl:template>

  <xsl:template name="plane-fit">
    <xsl:for-each select="t:Cogo/t:PlaneFit">
      <section id="plane-fit">
        <xsl:call-template name="fit-heading"><xsl:with-param name="text" select="'Fit onto the known stations'"/></xsl:call-template>
        <xsl:if test="@fitted = '1'">
          <p class="note">
            <xsl:text>Similarity transformation: scale </xsl:text>
            <xsl:call-template name="real"><xsl:with-param name="v" select="@scale"/><xsl:with-param name="pattern" select="'0.0000000'"/></xsl:call-template>
            <xsl:text>, rotation </xsl:text>
            <xsl:call-template name="angle"><xsl:with-param name="v" select="@rotation"/></xsl:call-template>
            <xsl:value-of select="concat(' ', $angleUnit)"/>
          </p>
        </xsl:if>
        <xsl:if test="t:Residual">
          <div class="table-wrap"><table>
            <thead><tr><th class="text">Known station</th><th>East residual</th><th>North residual</th><th class="text">In the fit</th></tr></thead>
            <tbody>
              <xsl:for-each select="t:Residual">
                <tr>
                  <xsl:if test="@rejected = '1'"><xsl:attribute name="class">rejected</xsl:attribute></xsl:if>
                  <td class="text"><xsl:value-of select="@name"/></td>
                  <td><xsl:call-template name="small"><xsl:with-param name="v" select="@east"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                  <td><xsl:call-template name="small"><xsl:with-param name="v" select="@north"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                  <td class="text"><xsl:choose><xsl:when test="@rejected = '1'">rejected **</xsl:when><xsl:otherwise>yes</xsl:otherwise></xsl:choose></td>
                </tr>
              </xsl:for-each>
            </tbody>
          </table></div>
        </xsl:if>
      </section>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="height-fit">
    <xsl:for-each select="t:Cogo/t:HeightFit">
      <section id="height-fit">
        <xsl:call-template name="fit-heading"><xsl:with-param name="text" select="'Fit onto the known heights'"/></xsl:call-template>
        <xsl:if test="@fitted = '1'">
          <p class="note"><xsl:text>Shift </xsl:text><xsl:call-template name="small"><xsl:with-param name="v" select="@shift"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></p>
        </xsl:if>
        <xsl:if test="t:Residual">
          <div class="table-wrap"><table>
            <thead><tr><th class="text">Known height</th><th>Residual</th><th class="text">In the fit</th></tr></thead>
            <tbody>
              <xsl:for-each select="t:Residual">
                <tr>
                  <xsl:if test="@rejected = '1'"><xsl:attribute name="class">rejected</xsl:attribute></xsl:if>
                  <td class="text"><xsl:value-of select="@name"/></td>
                  <td><xsl:call-template name="small"><xsl:with-param name="v" select="@height"/><xsl:with-param name="unit" select="'m'"/></xsl:call-template></td>
                  <td class="text"><xsl:choose><xsl:when test="@rejected = '1'">rejected **</xsl:when><xsl:otherwise>yes</xsl:otherwise></xsl:choose></td>
                </tr>
              </xsl:for-each>
            </tbody>
          </table></div>
        </xsl:if>
      </section>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="not-computed">
    <xsl:for-each select="t:Cogo/t:NotComputed">
      <section id="not-computed">
        <xsl:call-template name="heading">
          <xsl:with-param name="text" select="'Stations not computed'"/>
          <xsl:with-param name="native" select="@title"/>
        </xsl:call-template>
        <xsl:choose>
          <xsl:when test="t:Station">
            <ul><xsl:for-each select="t:Station"><li class="rejected"><xsl:value-of select="@name"/></li></xsl:for-each></ul>
          </xsl:when>
          <xsl:otherwise><p class="note">none: every station was computed</p></xsl:otherwise>
        </xsl:choose>
      </section>
    </xsl:for-each>
  </xsl:template>

</xsl:stylesheet>
