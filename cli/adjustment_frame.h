// What the kernel makes of a project's frame, read from the same rules the
// kernel applies (its adjustment-mode table): whether the network lies in the
// GPS frame, in which order the covariance it hands back holds north and
// east, and how many GPS transformation unknowns it sets up. The host needs
// them to check a project file and to read the results; the run's statistics
// confirm the count afterwards.
#ifndef TAVEX_CLI_ADJUSTMENT_FRAME_H
#define TAVEX_CLI_ADJUSTMENT_FRAME_H

#include "project_model.h"

namespace TavexCli {

// The stations are geographic on WGS 84 without a map projection, and GPS
// observations are taken in the network's own frame (adjustment modes 3, 6
// and 9): ellipsoid code 20.
bool InGpsFrame(const Settings& settings);

// Whether the first coordinate of a station's covariance block is east: in
// the grid of a map projection, and in the GPS frame with GPS coordinates of
// kind 2. Otherwise it is north.
bool CovarianceEastFirst(const Project& project);

// The GPS transformation unknowns the kernel sets up (sub-codes 1 to the
// result): none in the GPS frame; 7 (rotations, scale, translations) when
// GPS coordinates take part; 4 (rotations and scale) with GPS baselines
// only; none without GPS observations the network's dimension uses.
int GpsTransformationUnknowns(const Project& project);

// Whether an observation's stations take part: an excluded station leaves
// its observations out.
bool TakesPart(const Project& project, const Observation& o);

} // namespace TavexCli

#endif
