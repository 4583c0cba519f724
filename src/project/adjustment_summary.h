// The counters and statistics of the last adjustment that the statistics
// record reports in its words 0 to 40.
#ifndef TAVEX_PROJECT_ADJUSTMENT_SUMMARY_H
#define TAVEX_PROJECT_ADJUSTMENT_SUMMARY_H

namespace Tavex {

struct AdjustmentSummary {
    unsigned Unknowns = 0;
    unsigned CoordinateUnknowns = 0;
    unsigned OrientationUnknowns = 0;
    unsigned ScaleFactors = 0;
    unsigned RefractionCoefficients = 0;
    unsigned AzimuthOffsets = 0;
    unsigned GPSTransformationParameters = 0;
    unsigned AdditionalTransformationParameters = 0;
    unsigned Observations = 0;
    unsigned Directions = 0;
    unsigned Distances = 0;
    unsigned ZenithAngles = 0;
    unsigned TrigonometricHeightDifferences = 0;
    unsigned Azimuths = 0;
    unsigned HeightDifferences = 0;
    unsigned GPSCoordinateDifferences = 0;
    unsigned GPSCoordinates = 0;
    unsigned DatumPseudoObservations = 0;
    unsigned TransformationPseudoObservations = 0;
    unsigned Iterations = 0;
    double LargestCorrection = 0.0;
    double FTest = 0.0; // the a-posteriori variance factor
};

} // namespace Tavex

#endif
