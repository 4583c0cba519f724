<?xml version="1.0" encoding="UTF-8"?>
<!-- The pre-run's result document as a report: the summary of findings
     first, then the configuration defects, the checks of repeated
     observations and of the observations against the approximate
     coordinates, identical observations and coinciding stations.
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
        <xsl:with-param name="title" select="'Pre-run: checks before the adjustment'"/>
        <xsl:with-param name="kernelTitle" select="t:Prerun/@title"/>
        <xsl:with-param name="body">
          <xsl:call-template name="summary"/>
          <xsl:call-template name="rejected-switch"/>
          <xsl:for-each select="t:Prerun/t:Check"><xsl:call-template name="check"/></xsl:for-each>
        </xsl:with-param>
      </xsl:call-template>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="summary">
    <xsl:variable name="s" select="t:Summary"/>
    <xsl:variable name="found" select="number($s/@configurationDefects) + number($s/@repeatedObservations) + number($s/@approximateCoordinates) + number($s/@identicalGroups) + number($s/@coincidingPairs)"/>
    <section id="summary">
      <xsl:call-template name="heading"><xsl:with-param name="text" select="'Summary'"/></xsl:call-template>
      <div>
        <xsl:attribute name="class">verdict<xsl:if test="$found &gt; 0"> rejected</xsl:if></xsl:attribute>
        <xsl:choose>
          <xsl:when test="$found = 0">Nothing found</xsl:when>
          <xsl:otherwise>Findings to look at</xsl:otherwise>
        </xsl:choose>
        <xsl:if test="t:Prerun/@design = '1'"> (a design: the observation checks do not run)</xsl:if>
      </div>
      <div class="cards">
        <div class="card">Configuration defects<b><xsl:value-of select="$s/@configurationDefects"/></b></div>
        <div class="card">Repeated observations checked<b><xsl:value-of select="$s/@repeatedObservations"/></b></div>
        <div class="card">Against approximate coordinates<b><xsl:value-of select="$s/@approximateCoordinates"/></b></div>
        <div class="card">Groups of identical observations<b><xsl:value-of select="$s/@identicalGroups"/></b></div>
        <div class="card">Coinciding station pairs<b><xsl:value-of select="$s/@coincidingPairs"/></b></div>
        <div class="card">Critical value W-test<b><xsl:call-template name="real"><xsl:with-param name="v" select="t:Prerun/@criticalW"/><xsl:with-param name="pattern" select="'0.###'"/></xsl:call-template></b></div>
        <div class="card">Singularity criterion<b><xsl:value-of select="t:Prerun/@singularityCriterion"/></b></div>
      </div>
    </section>
  </xsl:template>

  <xsl:template name="check">
    <section class="check">
      <xsl:call-template name="heading">
        <xsl:with-param name="text">
          <xsl:choose>
            <xsl:when test="@kind = '0'">Repeated observations</xsl:when>
            <xsl:when test="@kind = '1'">Observations against the approximate coordinates</xsl:when>
            <xsl:when test="@kind = '2'">Configuration defects</xsl:when>
            <xsl:when test="@kind = '3'">Possibly coinciding stations</xsl:when>
            <xsl:when test="@kind = '4'">Possibly identical observations</xsl:when>
            <xsl:otherwise>Check</xsl:otherwise>
          </xsl:choose>
        </xsl:with-param>
        <xsl:with-param name="native" select="@title"/>
      </xsl:call-template>
      <xsl:choose>
        <xsl:when test="not(*)"><p class="note">nothing found</p></xsl:when>
        <xsl:when test="@kind = '2'">
          <ul class="defects">
            <xsl:for-each select="t:ConfigurationDefect"><li class="rejected"><xsl:value-of select="@text"/></li></xsl:for-each>
          </ul>
        </xsl:when>
        <xsl:when test="@kind = '3'"><xsl:call-template name="coinciding"/></xsl:when>
        <xsl:when test="@kind = '4'"><xsl:call-template name="identical"/></xsl:when>
        <xsl:otherwise><xsl:call-template name="observations"/></xsl:otherwise>
      </xsl:choose>
    </section>
  </xsl:template>

  <xsl:template name="observations">
    <div class="table-wrap"><table>
      <thead><tr><th>Record</th><th class="text">Code</th><th class="text">Station</th><th class="text">Target</th><th>Reading</th><th>Difference</th><th>Test value</th><th class="text">Note</th></tr></thead>
      <tbody>
        <xsl:for-each select="t:Observation">
          <tr>
            <xsl:if test="@significant = '1'"><xsl:attribute name="class">rejected</xsl:attribute></xsl:if>
            <td><xsl:value-of select="@record"/></td>
            <td class="text"><xsl:value-of select="@code"/></td>
            <td class="text"><xsl:value-of select="@station"/></td>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@target"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <td><xsl:call-template name="reading"><xsl:with-param name="v" select="@reading"/><xsl:with-param name="unit" select="@unit"/></xsl:call-template></td>
            <td><xsl:call-template name="small"><xsl:with-param name="v" select="@error"/><xsl:with-param name="unit" select="@unit"/></xsl:call-template></td>
            <td><xsl:call-template name="real"><xsl:with-param name="v" select="@testValue"/><xsl:with-param name="pattern" select="'0.00'"/></xsl:call-template><xsl:if test="@significant = '1'"><span class="mark"> **</span></xsl:if></td>
            <td class="text">
              <xsl:if test="@reference = '1'">reference </xsl:if>
              <xsl:if test="@horizontal = '1'">horizontal distance</xsl:if>
              <xsl:if test="@reference != '1' and @horizontal != '1'">–</xsl:if>
            </td>
          </tr>
        </xsl:for-each>
      </tbody>
    </table></div>
  </xsl:template>

  <xsl:template name="identical">
    <div class="table-wrap"><table>
      <thead><tr><th>Record</th><th class="text">Station</th><th class="text">Target</th><th class="text">Code 1</th><th class="text">Reading 1</th><th class="text">Code 2</th><th class="text">Reading 2</th><th class="text">Code 3</th><th class="text">Reading 3</th></tr></thead>
      <tbody>
        <xsl:for-each select="t:IdenticalObservation">
          <tr class="rejected">
            <td><xsl:value-of select="@record"/></td>
            <td class="text"><xsl:value-of select="@station"/></td>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@target"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@code1"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@reading1"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@code2"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@reading2"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@code3"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@reading3"/><xsl:with-param name="class" select="'text'"/></xsl:call-template>
          </tr>
        </xsl:for-each>
      </tbody>
    </table></div>
  </xsl:template>

  <xsl:template name="coinciding">
    <div class="table-wrap"><table>
      <thead><tr><th class="text">Station</th><th class="text">Station</th><th>Distance</th></tr></thead>
      <tbody>
        <xsl:for-each select="t:Coinciding">
          <tr class="rejected">
            <td class="text"><xsl:value-of select="@station1"/></td>
            <td class="text"><xsl:value-of select="@station2"/></td>
            <td><xsl:call-template name="length"><xsl:with-param name="v" select="@distance"/></xsl:call-template><xsl:value-of select="concat(' ', $lengthUnit)"/></td>
          </tr>
        </xsl:for-each>
      </tbody>
    </table></div>
  </xsl:template>

</xsl:stylesheet>
