// The sections of the adjustment's result document, inserted under the
// project element in this order: the summary, the table of the test
// statistics, the stations with their coordinates, the precision table, the
// standard ellipses, the observations with their records, the observation
// table, the additional parameters and their table. Values are in SI units
// (radians, metres); the root's unit codes name the units the host shows.
//
// The report switches select the parts as in the text report: 0 the
// projection constants, 1 the approximate coordinates, 3 the observed values
// and their standard deviations, 4 the adjusted coordinates, 6 the absolute
// and 7 the relative ellipses, 10 the additional parameters, 11 the adjusted
// observations and 12 the tests and reliability of the observations.
// Section writers insert what they can and never stop the document.
#ifndef TAVEX_OUTPUT_DOCUMENT_SECTIONS_H
#define TAVEX_OUTPUT_DOCUMENT_SECTIONS_H

#include "engine/engine_state.h"
#include "output/xml_node.h"
#include "project/project_state.h"

namespace Tavex {

// The project record: name, counts, redundancy and the a-posteriori
// variance factor of the run.
TXXML_PROJECT ProjectRecord(const ProjectState& project, const EngineState& engine);

// The record of row r (an observation reading or a coordinate of a known
// station) with the parts asked for: the observed value and its a-priori
// standard deviation (input), the adjusted value and residual (adjustment,
// never in design) with the standard deviation of the adjusted value, the
// W-test and estimated error (tests, when the adjustment was tested) with
// MDB, MDBn, redundancy number and bias-to-noise ratio (when computed).
// All from ResultOf, in radians or metres.
TXXML_OBSERVATIONRECORD RowRecord(const ProjectState& p, const EngineState& e, std::size_t r,
                                  bool input, bool adjustment, bool tests);

// The coordinate record of station s at its current position: latitude,
// longitude and height, and its grid coordinates when the project has a map
// projection (document_sections_stations.cpp).
TXXML_COORDINATE PositionRecord(const ProjectState& p, const EngineState& e, unsigned s);

// The known-station entry of station s, null when s is not known
// (document_sections_stations.cpp).
const KnownRec* KnownOf(const ProjectState& p, unsigned s);

// document_sections_summary.cpp
void InsertSummarySection(CTXXmlNode& project, const ProjectState& p, const EngineState& e);
void InsertTestTable(CTXXmlNode& project, const ProjectState& p, const EngineState& e);

// document_sections_stations.cpp
void InsertStationSection(CTXXmlNode& project, const ProjectState& p, const EngineState& e);
void InsertPrecisionTable(CTXXmlNode& project, const ProjectState& p, const EngineState& e);
void InsertEllipseSection(CTXXmlNode& project, const ProjectState& p, const EngineState& e);
// Free stations (document_sections_free.cpp), when there are any.
void InsertFreeStationSection(CTXXmlNode& project, const ProjectState& p, const EngineState& e);

// document_sections_observations.cpp
void InsertObservationSection(CTXXmlNode& project, const ProjectState& p, const EngineState& e);
void InsertObservationTable(CTXXmlNode& project, const ProjectState& p, const EngineState& e);
void InsertParameterSection(CTXXmlNode& project, const ProjectState& p, const EngineState& e);

} // namespace Tavex

#endif
