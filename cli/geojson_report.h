// GeoJSON (RFC 7946) of a result document for GIS tools and web maps:
// stations as points and observed station pairs as lines, in longitude and
// latitude in degrees, read from the geographic positions the kernel writes
// into its documents (it converts grid coordinates through its own
// projection layer). The kernel applies no datum transformation, so the
// positions are on the project's ellipsoid and taken as WGS 84, which is
// what a GIS expects of GeoJSON (GRS80 and WGS 84 agree to 0.1 mm).
#ifndef TAVEX_CLI_GEOJSON_REPORT_H
#define TAVEX_CLI_GEOJSON_REPORT_H

#include <string>

namespace TavexCli {

// The adjustment's document: every station and side shot at its adjusted
// position (the approximate one when the document has no adjusted
// coordinates) with its standard deviations and standard ellipse, and one
// line per observed pair, marked rejected when a test of its observations
// is. Throws std::runtime_error naming the document when it cannot be used.
std::string AdjustmentGeoJson(const std::string& documentPath);

// The approximate-coordinate document: every computed station.
std::string CogoGeoJson(const std::string& documentPath);

} // namespace TavexCli

#endif
