<?xml version="1.0" encoding="UTF-8"?>
<!-- What the four report stylesheets share: the page frame with its screen
     and A4 print styles, reading the document's reals (which may be written
     with an exponent, which XPath 1.0 cannot read), lengths and angles in the
     units the document names, English names of the summary items, and the
     network plot in SVG. Plain XSLT 1.0 without extensions, so that a
     browser's own processor shows the documents as libxslt does. -->
<xsl:stylesheet version="1.0"
    xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:t="urn:tavex:result:3.3"
    xmlns="http://www.w3.org/1999/xhtml"
    exclude-result-prefixes="t">

  <!-- XHTML serialised as XML: well-formed for any XML tool, and an HTML5
       document for a browser (the legacy-compat doctype, no declaration). -->
  <xsl:output method="xml" encoding="UTF-8" omit-xml-declaration="yes"
      doctype-system="about:legacy-compat" indent="no"/>

  <xsl:variable name="svgns" select="'http://www.w3.org/2000/svg'"/>
  <xsl:variable name="pi" select="3.14159265358979324"/>
  <xsl:variable name="notSet" select="2147483647"/>

  <!-- Units the host shows (the root's codes). -->
  <xsl:variable name="linearCode" select="string(/t:Result/@linearUnitCode)"/>
  <xsl:variable name="angleCode" select="string(/t:Result/@angleUnitCode)"/>
  <xsl:variable name="perMetre">
    <xsl:choose>
      <xsl:when test="$linearCode = '2'">3.2808333333333333</xsl:when>
      <xsl:when test="$linearCode = '3'">3.2808398950131234</xsl:when>
      <xsl:otherwise>1</xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <xsl:variable name="lengthUnit">
    <xsl:choose>
      <xsl:when test="$linearCode = '2'">US ft</xsl:when>
      <xsl:when test="$linearCode = '3'">ft</xsl:when>
      <xsl:otherwise>m</xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <xsl:variable name="angleUnit">
    <xsl:choose>
      <xsl:when test="$angleCode = '1'">°</xsl:when>
      <xsl:when test="$angleCode = '2'">d.ms</xsl:when>
      <xsl:otherwise>gon</xsl:otherwise>
    </xsl:choose>
  </xsl:variable>

  <!-- ===== Numbers ===================================================== -->

  <!-- A real as the document writes it (shortest decimal, maybe with an
       exponent; NaN, INF, -INF) as plain decimal text that number() reads. -->
  <xsl:template name="num">
    <xsl:param name="v"/>
    <xsl:variable name="s" select="translate(normalize-space($v), 'E', 'e')"/>
    <xsl:choose>
      <xsl:when test="$s = 'INF'">Infinity</xsl:when>
      <xsl:when test="$s = '-INF'">-Infinity</xsl:when>
      <xsl:when test="contains($s, 'e')">
        <xsl:call-template name="times-ten-to">
          <xsl:with-param name="m" select="number(substring-before($s, 'e'))"/>
          <xsl:with-param name="k" select="number(translate(substring-after($s, 'e'), '+', ''))"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="number($s)"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- m · 10^k by steps of 10^8 and 10 (a few dozen calls at most). -->
  <xsl:template name="times-ten-to">
    <xsl:param name="m"/>
    <xsl:param name="k"/>
    <xsl:choose>
      <xsl:when test="not($m = $m) or not($k = $k)">NaN</xsl:when>
      <xsl:when test="$m = 0 or $k &lt; -400">0</xsl:when>
      <xsl:when test="$k &gt; 400">Infinity</xsl:when>
      <xsl:when test="$k &gt;= 8">
        <xsl:call-template name="times-ten-to">
          <xsl:with-param name="m" select="$m * 100000000"/>
          <xsl:with-param name="k" select="$k - 8"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:when test="$k &gt; 0">
        <xsl:call-template name="times-ten-to">
          <xsl:with-param name="m" select="$m * 10"/>
          <xsl:with-param name="k" select="$k - 1"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:when test="$k &lt;= -8">
        <xsl:call-template name="times-ten-to">
          <xsl:with-param name="m" select="$m div 100000000"/>
          <xsl:with-param name="k" select="$k + 8"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:when test="$k &lt; 0">
        <xsl:call-template name="times-ten-to">
          <xsl:with-param name="m" select="$m div 10"/>
          <xsl:with-param name="k" select="$k + 1"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$m"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- A number for display: a dash for what is not a finite number. -->
  <xsl:template name="show">
    <xsl:param name="x"/>
    <xsl:param name="pattern" select="'0.000'"/>
    <xsl:choose>
      <xsl:when test="string(number($x)) = 'NaN' or string(number($x)) = 'Infinity' or string(number($x)) = '-Infinity'">–</xsl:when>
      <xsl:otherwise><xsl:value-of select="format-number(number($x), $pattern)"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- A real attribute as written, shown with the pattern. -->
  <xsl:template name="real">
    <xsl:param name="v"/>
    <xsl:param name="pattern" select="'0.000'"/>
    <xsl:param name="factor" select="1"/>
    <xsl:variable name="x"><xsl:call-template name="num"><xsl:with-param name="v" select="$v"/></xsl:call-template></xsl:variable>
    <xsl:call-template name="show">
      <xsl:with-param name="x" select="number($x) * $factor"/>
      <xsl:with-param name="pattern" select="$pattern"/>
    </xsl:call-template>
  </xsl:template>

  <!-- A length in metres, in the host's unit. -->
  <xsl:template name="length">
    <xsl:param name="v"/>
    <xsl:param name="pattern" select="'0.0000'"/>
    <xsl:call-template name="real">
      <xsl:with-param name="v" select="$v"/>
      <xsl:with-param name="pattern" select="$pattern"/>
      <xsl:with-param name="factor" select="number($perMetre)"/>
    </xsl:call-template>
  </xsl:template>

  <!-- An angle in radians, in the host's unit (gon, degrees, or degrees,
       minutes and seconds). -->
  <xsl:template name="angle">
    <xsl:param name="v"/>
    <xsl:variable name="x"><xsl:call-template name="num"><xsl:with-param name="v" select="$v"/></xsl:call-template></xsl:variable>
    <xsl:choose>
      <xsl:when test="string(number($x)) = 'NaN'">–</xsl:when>
      <xsl:when test="$angleCode = '1'">
        <xsl:value-of select="format-number(number($x) * 180 div $pi, '0.000000')"/>°</xsl:when>
      <xsl:when test="$angleCode = '2'">
        <xsl:call-template name="dms"><xsl:with-param name="degrees" select="number($x) * 180 div $pi"/></xsl:call-template>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="format-number(number($x) * 200 div $pi, '0.00000')"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="dms">
    <xsl:param name="degrees"/>
    <!-- Rounded to 0.01″ first, so that 59.996″ never shows as 60.00″. -->
    <xsl:variable name="t" select="round((($degrees &gt;= 0) * 2 - 1) * $degrees * 360000) div 100"/>
    <xsl:variable name="d" select="floor($t div 3600)"/>
    <xsl:variable name="m" select="floor(($t - $d * 3600) div 60)"/>
    <xsl:if test="$degrees &lt; 0">-</xsl:if>
    <xsl:value-of select="concat($d, '° ', format-number($m, '00'), '′ ', format-number($t - $d * 3600 - $m * 60, '00.00'), '″')"/>
  </xsl:template>

  <!-- A small quantity (residual, standard deviation, MDB, estimated error)
       of a reading whose unit is rad or m: mgon or arc seconds, mm or feet. -->
  <xsl:template name="small">
    <xsl:param name="v"/>
    <xsl:param name="unit"/>
    <xsl:choose>
      <xsl:when test="$unit = 'rad' and $angleCode = '0'">
        <xsl:call-template name="real"><xsl:with-param name="v" select="$v"/><xsl:with-param name="pattern" select="'0.00'"/><xsl:with-param name="factor" select="200000 div $pi"/></xsl:call-template> mgon</xsl:when>
      <xsl:when test="$unit = 'rad'">
        <xsl:call-template name="real"><xsl:with-param name="v" select="$v"/><xsl:with-param name="pattern" select="'0.00'"/><xsl:with-param name="factor" select="648000 div $pi"/></xsl:call-template>″</xsl:when>
      <xsl:when test="$unit = 'm' and $linearCode != '2' and $linearCode != '3'">
        <xsl:call-template name="real"><xsl:with-param name="v" select="$v"/><xsl:with-param name="pattern" select="'0.0'"/><xsl:with-param name="factor" select="1000"/></xsl:call-template> mm</xsl:when>
      <xsl:when test="$unit = 'm'">
        <xsl:call-template name="length"><xsl:with-param name="v" select="$v"/></xsl:call-template><xsl:value-of select="concat(' ', $lengthUnit)"/></xsl:when>
      <xsl:otherwise><xsl:call-template name="real"><xsl:with-param name="v" select="$v"/><xsl:with-param name="pattern" select="'0.###'"/></xsl:call-template></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- A reading's value (observed, adjusted) in its own unit. -->
  <xsl:template name="reading">
    <xsl:param name="v"/>
    <xsl:param name="unit"/>
    <xsl:choose>
      <xsl:when test="$unit = 'rad'"><xsl:call-template name="angle"><xsl:with-param name="v" select="$v"/></xsl:call-template></xsl:when>
      <xsl:when test="$unit = 'm'"><xsl:call-template name="length"><xsl:with-param name="v" select="$v"/></xsl:call-template></xsl:when>
      <xsl:otherwise><xsl:call-template name="real"><xsl:with-param name="v" select="$v"/><xsl:with-param name="pattern" select="'0.######'"/></xsl:call-template></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- A table cell that is never empty (an empty element would be read as
       an open tag by an HTML parser). -->
  <xsl:template name="cell">
    <xsl:param name="text"/>
    <xsl:param name="class" select="''"/>
    <td>
      <xsl:if test="$class != ''"><xsl:attribute name="class"><xsl:value-of select="$class"/></xsl:attribute></xsl:if>
      <xsl:choose>
        <xsl:when test="normalize-space($text) = ''">–</xsl:when>
        <xsl:otherwise><xsl:value-of select="$text"/></xsl:otherwise>
      </xsl:choose>
    </td>
  </xsl:template>

  <!-- ===== Page frame ================================================== -->

  <xsl:template name="page">
    <xsl:param name="title"/>
    <xsl:param name="kernelTitle"/>
    <xsl:param name="body"/>
    <html lang="en">
      <head>
        <meta charset="utf-8"/>
        <meta name="viewport" content="width=device-width, initial-scale=1"/>
        <title><xsl:value-of select="concat($title, ' – ', /t:Result/t:Project/@name)"/></title>
        <style><xsl:call-template name="css"/></style>
      </head>
      <body>
        <header class="banner">
          <h1><xsl:value-of select="$title"/><xsl:text> </xsl:text><span class="native"><xsl:value-of select="$kernelTitle"/></span></h1>
          <p class="meta">
            <xsl:text>Network </xsl:text><strong><xsl:value-of select="/t:Result/t:Project/@name"/></strong>
            <xsl:for-each select="(//t:SummaryHeader)[1]">
              <xsl:value-of select="concat(' · computed ', translate(@dateTime, 'T', ' '), ' · kernel ', @version)"/>
            </xsl:for-each>
            <xsl:value-of select="concat(' · ', /t:Result/@product, ' ', /t:Result/@version)"/>
            <xsl:value-of select="concat(' · lengths in ', $lengthUnit, ', angles in ', $angleUnit)"/>
          </p>
        </header>
        <xsl:copy-of select="$body"/>
      </body>
    </html>
  </xsl:template>

  <!-- A section with its heading: English and the kernel's own title. -->
  <xsl:template name="heading">
    <xsl:param name="text"/>
    <xsl:param name="native" select="''"/>
    <h2><xsl:value-of select="$text"/>
      <xsl:if test="$native != ''"><xsl:text> </xsl:text><span class="native"><xsl:value-of select="$native"/></span></xsl:if>
    </h2>
  </xsl:template>

  <xsl:template name="css">
:root { --rejected: #c0152f; --known: #1f4e9c; --line: #5c6b7a; --ink: #1b1f24; }
body { font: 14px/1.4 system-ui, "Segoe UI", "Noto Sans", "Noto Sans CJK SC", sans-serif; color: var(--ink); margin: 0 auto; padding: 0 1.5rem 3rem; max-width: 1400px; }
h1 { font-size: 1.5rem; margin: 1rem 0 0.2rem; }
h2 { font-size: 1.15rem; margin: 1.6rem 0 0.5rem; border-bottom: 2px solid #d5dbe1; padding-bottom: 0.2rem; }
h3 { font-size: 1rem; margin: 1rem 0 0.4rem; }
.native { color: #6a737d; font-weight: normal; font-size: 0.85em; }
.meta { color: #444; margin: 0 0 1rem; }
.verdict { font-size: 1.1rem; padding: 0.6rem 0.9rem; border-radius: 4px; margin: 0.6rem 0; border: 1px solid #9bc59d; background: #eef8ee; }
.verdict.rejected { border-color: var(--rejected); background: #fdecee; color: var(--rejected); }
.cards { display: flex; flex-wrap: wrap; gap: 0.6rem; margin: 0.6rem 0; }
.card { border: 1px solid #d5dbe1; border-radius: 4px; padding: 0.4rem 0.7rem; min-width: 9rem; }
.card b { display: block; font-size: 1.1rem; }
.table-wrap { overflow: auto; max-height: 75vh; border: 1px solid #d5dbe1; margin: 0.4rem 0 1rem; }
table { border-collapse: collapse; font-variant-numeric: tabular-nums; width: max-content; min-width: 100%; }
th, td { padding: 0.2rem 0.55rem; border-bottom: 1px solid #e6e9ed; text-align: right; white-space: nowrap; }
th { position: sticky; top: 0; background: #f3f5f7; z-index: 1; text-align: center; box-shadow: inset 0 -1px 0 #c8cfd6; }
td.text, th.text { text-align: left; }
tr.rejected td, td.rejected, span.rejected { color: var(--rejected); font-weight: 600; }
tr.rejected { background: #fdecee; }
.mark { color: var(--rejected); font-weight: 700; }
.note { color: #555; font-size: 0.9em; }
.only-rejected tbody tr:not(.rejected) { display: none; }
figure.plot { margin: 0.5rem 0 1rem; border: 1px solid #d5dbe1; }
figure.plot svg { display: block; width: 100%; height: auto; max-height: 85vh; background: #fff; }
figcaption { padding: 0.3rem 0.6rem; font-size: 0.9em; color: #444; border-top: 1px solid #e6e9ed; }
svg .obs { stroke: var(--line); stroke-width: 1.2px; vector-effect: non-scaling-stroke; }
svg .obs.rejected { stroke: var(--rejected); stroke-width: 3px; stroke-dasharray: 8 4; }
svg .obs.free { stroke-dasharray: 2 3; }
svg .station circle { fill: #fff; stroke: var(--ink); stroke-width: 1.5px; vector-effect: non-scaling-stroke; }
svg .station.known polygon { fill: var(--known); stroke: var(--known); stroke-width: 1px; vector-effect: non-scaling-stroke; }
svg .station.rejected circle, svg .station.rejected polygon { stroke: var(--rejected); fill: #fdecee; }
svg .station text { fill: var(--ink); paint-order: stroke; stroke: #fff; stroke-width: 3px; vector-effect: non-scaling-stroke; }
svg .ellipse { fill: rgba(31, 78, 156, 0.12); stroke: var(--known); stroke-width: 1.2px; vector-effect: non-scaling-stroke; }
svg .ellipse.relative { fill: none; stroke: #2e8540; stroke-dasharray: 4 2; }
svg .loop { fill: rgba(92, 107, 122, 0.06); stroke: var(--line); stroke-width: 1.5px; vector-effect: non-scaling-stroke; }
svg .loop.rejected { fill: rgba(192, 21, 47, 0.12); stroke: var(--rejected); stroke-width: 3px; }
svg .scalebar line, svg .north path { stroke: var(--ink); stroke-width: 2px; vector-effect: non-scaling-stroke; fill: none; }
svg .north polygon { fill: var(--ink); }
svg .scalebar text, svg .north text { fill: var(--ink); }
@media print {
  @page { size: A4; margin: 14mm 12mm; }
  body { font-size: 9pt; max-width: none; padding: 0; }
  .table-wrap { overflow: visible; max-height: none; border: none; }
  table { width: 100%; min-width: 0; }
  th { position: static; }
  thead { display: table-header-group; }
  tr, figure.plot { break-inside: avoid; page-break-inside: avoid; }
  h2 { break-after: avoid; page-break-after: avoid; }
  figure.plot svg { max-height: 230mm; }
  .screen-only { display: none; }
  .only-rejected tbody tr:not(.rejected) { display: table-row; }
}
  </xsl:template>

  <!-- A switch that shows only the rejected rows of every table (screen). -->
  <xsl:template name="rejected-switch">
    <p class="screen-only"><label><input type="checkbox" onchange="document.body.classList.toggle('only-rejected', this.checked)"/> show only rejected rows</label></p>
  </xsl:template>

  <!-- ===== Items of the summary lists, in English ======================= -->

  <xsl:template name="english">
    <xsl:param name="name"/>
    <xsl:choose>
      <xsl:when test="$name = 'stations'">Stations</xsl:when>
      <xsl:when test="$name = 'unknowns'">Unknowns</xsl:when>
      <xsl:when test="$name = 'coordinateUnknowns'">Coordinate unknowns</xsl:when>
      <xsl:when test="$name = 'orientations'">Orientation unknowns</xsl:when>
      <xsl:when test="$name = 'scaleFactors'">Scale factors</xsl:when>
      <xsl:when test="$name = 'refractionCoefficients'">Refraction coefficients</xsl:when>
      <xsl:when test="$name = 'azimuthOffsets'">Azimuth offsets</xsl:when>
      <xsl:when test="$name = 'gpsParameters'">GPS transformation parameters</xsl:when>
      <xsl:when test="$name = 'observations'">Observations (rows)</xsl:when>
      <xsl:when test="$name = 'directions'">Directions</xsl:when>
      <xsl:when test="$name = 'distances'">Distances</xsl:when>
      <xsl:when test="$name = 'zenithAngles'">Zenith angles</xsl:when>
      <xsl:when test="$name = 'trigonometricHeights'">Trigonometric height differences</xsl:when>
      <xsl:when test="$name = 'azimuths'">Azimuths</xsl:when>
      <xsl:when test="$name = 'heightDifferences'">Height differences</xsl:when>
      <xsl:when test="$name = 'gpsBaselines'">GPS baselines</xsl:when>
      <xsl:when test="$name = 'gpsCoordinates'">GPS coordinates</xsl:when>
      <xsl:when test="$name = 'relations'">Geometric relations</xsl:when>
      <xsl:when test="$name = 'datumPseudoObservations'">Datum pseudo-observations</xsl:when>
      <xsl:when test="$name = 'transformationPseudoObservations'">Transformation pseudo-observations</xsl:when>
      <xsl:when test="$name = 'redundancy'">Redundancy (degrees of freedom)</xsl:when>
      <xsl:when test="$name = 'iterations'">Iterations</xsl:when>
      <xsl:when test="$name = 'largestCorrection'">Largest correction</xsl:when>
      <xsl:when test="$name = 'alpha'">α (multi-dimensional)</xsl:when>
      <xsl:when test="$name = 'alpha0'">α₀ (one-dimensional)</xsl:when>
      <xsl:when test="$name = 'beta'">β (power)</xsl:when>
      <xsl:when test="$name = 'criticalW'">Critical value W-test</xsl:when>
      <xsl:when test="$name = 'criticalT3'">Critical value T-test (3D)</xsl:when>
      <xsl:when test="$name = 'criticalT2'">Critical value T-test (2D)</xsl:when>
      <xsl:when test="$name = 'criticalF'">Critical value F-test</xsl:when>
      <xsl:when test="$name = 'sigma0'">σ₀ a priori</xsl:when>
      <xsl:when test="$name = 'projectionCode'">Projection code</xsl:when>
      <xsl:when test="$name = 'ellipsoidCode'">Ellipsoid code</xsl:when>
      <xsl:when test="$name = 'semiMajorAxis'">Semi-major axis</xsl:when>
      <xsl:when test="$name = 'inverseFlattening'">Inverse flattening</xsl:when>
      <xsl:when test="$name = 'latitudeOrigin'">Latitude of origin</xsl:when>
      <xsl:when test="$name = 'centralMeridian'">Central meridian</xsl:when>
      <xsl:when test="$name = 'standardParallel1'">Standard parallel 1</xsl:when>
      <xsl:when test="$name = 'standardParallel2'">Standard parallel 2</xsl:when>
      <xsl:when test="$name = 'scaleFactor'">Scale factor</xsl:when>
      <xsl:when test="$name = 'falseEasting'">False easting</xsl:when>
      <xsl:when test="$name = 'falseNorthing'">False northing</xsl:when>
      <xsl:when test="$name = 'meanEarthRadius'">Mean earth radius</xsl:when>
      <xsl:otherwise><xsl:value-of select="$name"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- An Item's value in its unit. -->
  <xsl:template name="item-value">
    <xsl:choose>
      <xsl:when test="@unit = 'rad'"><xsl:call-template name="angle"><xsl:with-param name="v" select="@value"/></xsl:call-template></xsl:when>
      <xsl:when test="@unit = 'm'"><xsl:call-template name="length"><xsl:with-param name="v" select="@value"/></xsl:call-template><xsl:value-of select="concat(' ', $lengthUnit)"/></xsl:when>
      <xsl:otherwise><xsl:call-template name="real"><xsl:with-param name="v" select="@value"/><xsl:with-param name="pattern" select="'0.####'"/></xsl:call-template></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="item-table">
    <xsl:param name="items"/>
    <div class="table-wrap"><table>
      <thead><tr><th class="text">Item</th><th class="text">Kernel label</th><th>Value</th></tr></thead>
      <tbody>
        <xsl:for-each select="$items">
          <tr>
            <td class="text"><xsl:call-template name="english"><xsl:with-param name="name" select="@name"/></xsl:call-template></td>
            <xsl:call-template name="cell"><xsl:with-param name="text" select="@label"/><xsl:with-param name="class" select="'text native'"/></xsl:call-template>
            <td><xsl:call-template name="item-value"/></td>
          </tr>
        </xsl:for-each>
      </tbody>
    </table></div>
  </xsl:template>

  <!-- ===== Network plot =================================================
       Plane coordinates (northing up, easting right) shifted to the
       drawing's corner: x = E - minE, y = maxN - N, in metres; the viewBox
       scales them, strokes keep their width. -->

  <!-- Smallest or largest value of an attribute over the nodes (by halves,
       so the recursion stays shallow for thousands of stations). -->
  <xsl:template name="extreme">
    <xsl:param name="nodes"/>
    <xsl:param name="attribute"/>
    <xsl:param name="largest" select="false()"/>
    <xsl:variable name="n" select="count($nodes)"/>
    <xsl:choose>
      <xsl:when test="$n = 1">
        <xsl:call-template name="num"><xsl:with-param name="v" select="$nodes/@*[local-name() = $attribute]"/></xsl:call-template>
      </xsl:when>
      <xsl:when test="$n &gt; 1">
        <xsl:variable name="half" select="floor($n div 2)"/>
        <xsl:variable name="a"><xsl:call-template name="extreme"><xsl:with-param name="nodes" select="$nodes[position() &lt;= $half]"/><xsl:with-param name="attribute" select="$attribute"/><xsl:with-param name="largest" select="$largest"/></xsl:call-template></xsl:variable>
        <xsl:variable name="b"><xsl:call-template name="extreme"><xsl:with-param name="nodes" select="$nodes[position() &gt; $half]"/><xsl:with-param name="attribute" select="$attribute"/><xsl:with-param name="largest" select="$largest"/></xsl:call-template></xsl:variable>
        <xsl:choose>
          <xsl:when test="($largest and number($b) &gt; number($a)) or (not($largest) and number($b) &lt; number($a))"><xsl:value-of select="$b"/></xsl:when>
          <xsl:otherwise><xsl:value-of select="$a"/></xsl:otherwise>
        </xsl:choose>
      </xsl:when>
      <xsl:otherwise>0</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- The largest of 1, 2 or 5 times a power of ten that is not above x. -->
  <xsl:template name="round-down-125">
    <xsl:param name="x"/>
    <xsl:param name="p" select="1"/>
    <xsl:param name="depth" select="0"/>
    <xsl:choose>
      <xsl:when test="not($x &gt; 0) or $depth &gt; 60"><xsl:value-of select="$p"/></xsl:when>
      <xsl:when test="$x &gt;= 10 * $p">
        <xsl:call-template name="round-down-125"><xsl:with-param name="x" select="$x"/><xsl:with-param name="p" select="$p * 10"/><xsl:with-param name="depth" select="$depth + 1"/></xsl:call-template>
      </xsl:when>
      <xsl:when test="$x &lt; $p">
        <xsl:call-template name="round-down-125"><xsl:with-param name="x" select="$x"/><xsl:with-param name="p" select="$p div 10"/><xsl:with-param name="depth" select="$depth + 1"/></xsl:call-template>
      </xsl:when>
      <xsl:when test="$x &gt;= 5 * $p"><xsl:value-of select="5 * $p"/></xsl:when>
      <xsl:when test="$x &gt;= 2 * $p"><xsl:value-of select="2 * $p"/></xsl:when>
      <xsl:otherwise><xsl:value-of select="$p"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- x and y of a node's plane position in the drawing. -->
  <xsl:template name="plot-x">
    <xsl:param name="node"/>
    <xsl:param name="minE"/>
    <xsl:variable name="e"><xsl:call-template name="num"><xsl:with-param name="v" select="$node/@planeEasting"/></xsl:call-template></xsl:variable>
    <xsl:value-of select="number($e) - $minE"/>
  </xsl:template>
  <xsl:template name="plot-y">
    <xsl:param name="node"/>
    <xsl:param name="maxN"/>
    <xsl:variable name="n"><xsl:call-template name="num"><xsl:with-param name="v" select="$node/@planeNorthing"/></xsl:call-template></xsl:variable>
    <xsl:value-of select="$maxN - number($n)"/>
  </xsl:template>

  <!-- The north arrow at (x, y) and the scale bar from (x0, y0): a round
       ground length, and what it stands for in the ellipses. -->
  <xsl:template name="plot-furniture" xmlns="http://www.w3.org/2000/svg">
    <xsl:param name="size"/>
    <xsl:param name="width"/>
    <xsl:param name="height"/>
    <xsl:param name="factor" select="0"/>
    <xsl:variable name="font" select="$size * 0.022"/>
    <xsl:variable name="bar"><xsl:call-template name="round-down-125"><xsl:with-param name="x" select="$size * 0.25"/></xsl:call-template></xsl:variable>
    <xsl:variable name="ax" select="$width + $size * 0.04"/>
    <xsl:variable name="ay" select="- $size * 0.02"/>
    <xsl:variable name="al" select="$size * 0.08"/>
    <g class="north">
      <path d="M{$ax},{$ay + $al} L{$ax},{$ay}"/>
      <polygon points="{$ax},{$ay - $al * 0.25} {$ax - $al * 0.15},{$ay + $al * 0.1} {$ax + $al * 0.15},{$ay + $al * 0.1}"/>
      <text x="{$ax}" y="{$ay - $al * 0.35}" font-size="{$font * 1.3}" text-anchor="middle">N</text>
    </g>
    <xsl:variable name="by" select="$height + $size * 0.07"/>
    <g class="scalebar">
      <line x1="0" y1="{$by}" x2="{$bar}" y2="{$by}"/>
      <line x1="0" y1="{$by - $size * 0.01}" x2="0" y2="{$by + $size * 0.01}"/>
      <line x1="{$bar}" y1="{$by - $size * 0.01}" x2="{$bar}" y2="{$by + $size * 0.01}"/>
      <text x="{$bar div 2}" y="{$by - $size * 0.015}" font-size="{$font}" text-anchor="middle">
        <xsl:value-of select="concat(format-number($bar * number($perMetre), '0.###'), ' ', $lengthUnit)"/>
        <xsl:if test="$factor &gt; 0">
          <xsl:value-of select="concat('  ·  ellipses ×', format-number($factor, '0.###'), ': ')"/>
          <xsl:call-template name="small">
            <xsl:with-param name="v" select="$bar div $factor"/>
            <xsl:with-param name="unit" select="'m'"/>
          </xsl:call-template>
        </xsl:if>
      </text>
    </g>
  </xsl:template>

  <!-- A station symbol and its name; one element per station. -->
  <xsl:template name="plot-station" xmlns="http://www.w3.org/2000/svg">
    <xsl:param name="node"/>
    <xsl:param name="x"/>
    <xsl:param name="y"/>
    <xsl:param name="size"/>
    <xsl:param name="known" select="false()"/>
    <xsl:param name="extraClass" select="''"/>
    <xsl:variable name="r" select="$size * 0.008"/>
    <g>
      <xsl:attribute name="class"><xsl:value-of select="concat('station', substring(' known', 1, 6 * $known), $extraClass)"/></xsl:attribute>
      <xsl:attribute name="data-name"><xsl:value-of select="$node/@name"/></xsl:attribute>
      <title><xsl:value-of select="$node/@name"/><xsl:if test="$known"> (known)</xsl:if></title>
      <xsl:choose>
        <xsl:when test="$known">
          <polygon points="{$x},{$y - $r * 1.6} {$x - $r * 1.4},{$y + $r * 0.9} {$x + $r * 1.4},{$y + $r * 0.9}"/>
        </xsl:when>
        <xsl:otherwise><circle cx="{$x}" cy="{$y}" r="{$r}"/></xsl:otherwise>
      </xsl:choose>
      <text x="{$x + $r * 1.6}" y="{$y - $r * 1.2}" font-size="{$size * 0.022}"><xsl:value-of select="$node/@name"/></text>
    </g>
  </xsl:template>

</xsl:stylesheet>
