// geodesic-report: the pentagon great-circle quantities of the geodesic
// figure, for any four arguments, as the plain-text value report, as JSON, or
// as an SVG drawing of the unrolled cylinder; with --intersections, where the
// great circles meet and the lengths between; with --dome, the cut list of the
// dome they build, and as STL or OBJ that dome as a solid to print; with
// --diameter, the unrolled cylinder on paper at true size. Usage errors exit
// with status 2, a dome that cannot be had with status 1.
#include <unistd.h>

#include <iostream>

#include "documents/dome_mesh.h"
#include "documents/paper_cylinder.h"
#include "documents/svg_report.h"
#include "mathematics/dome.h"
#include "mathematics/dome_report.h"
#include "mathematics/figure_samples.h"
#include "mathematics/intersections.h"
#include "support/tholix_print_values.h"
#include "tools/report/intersections_text.h"
#include "tools/report/json_report.h"
#include "tools/report/report_options.h"

namespace {
const int kSamplesPerCurve = 100; // as many as the figure draws

// Whether the dome can be written; if not, says why on standard error.
bool domeToWrite(const geodesicDome& dome, bool noneIsFine) {
    if (dome.status == domeStatus::failed) {
        std::cerr << "geodesic-report: the dome could not be built: " << dome.problem << "\n";
        return false;
    }
    if (dome.status == domeStatus::noVertex && !noneIsFine) {
        std::cerr << "geodesic-report: no dome to write: the great circles meet nowhere (as "
                     "when both pentagons are at a pole, or every circle is the equator)\n";
        return false;
    }
    return true;
}

// Returns the exit status.
int writeReport(const reportOptions& options) {
    const float* values = options.arguments;
    switch (options.format) {
    case reportFormat::text:
        if (options.dome) {
            const geodesicDome dome = buildDome(values[0], values[1], values[2], values[3]);
            if (!domeToWrite(dome, true)) return 1;
            writeCutList(std::cout, dome, options.radius.value_or(kCutListRadius), values);
        } else if (options.intersections) {
            writeIntersectionsText(
                std::cout, values,
                computeIntersections(values[0], values[1], values[2], values[3]));
        } else {
            tholix_print_values(values[0], values[1], values[2], values[3], std::cout);
        }
        break;
    case reportFormat::json: {
        const circleIntersections intersections =
            computeIntersections(values[0], values[1], values[2], values[3]);
        const geodesicDome dome = buildDome(intersections);
        if (!domeToWrite(dome, true)) return 1;
        writeJsonReport(std::cout,
                        computeFigure(values[0], values[1], values[2], values[3], kSamplesPerCurve),
                        intersections, dome);
        break;
    }
    case reportFormat::svg: {
        if (options.diameter) {
            const auto circles = figureCircles(values[0], values[1], values[2], values[3]);
            writePaperCylinder(std::cout, circles, computeIntersections(circles), values,
                               *options.diameter);
            break;
        }
        const figureSamples figure =
            computeFigure(values[0], values[1], values[2], values[3], kSamplesPerCurve);
        if (options.intersections) {
            const circleIntersections marks =
                computeIntersections(values[0], values[1], values[2], values[3]);
            writeSvgReport(std::cout, figure, &marks);
        } else {
            writeSvgReport(std::cout, figure);
        }
        break;
    }
    case reportFormat::stl:
    case reportFormat::obj: {
        const geodesicDome dome = buildDome(values[0], values[1], values[2], values[3]);
        if (!domeToWrite(dome, false)) return 1;
        const double radius = options.radius.value_or(kSolidRadius);
        if (options.format == reportFormat::stl)
            writeDomeStl(std::cout, dome, radius, values);
        else
            writeDomeObj(std::cout, dome, radius, values);
        break;
    }
    }
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    reportOptions options;
    const std::string problem = parseReportOptions(argc, argv, options);
    if (!problem.empty()) {
        std::cerr << "geodesic-report: " << problem << "\n" << reportUsageLine() << "\n";
        return 2;
    }
    // Binary bytes would garble a terminal; they belong in a file or a pipe.
    if (!options.help && options.format == reportFormat::stl && isatty(STDOUT_FILENO)) {
        std::cerr << "geodesic-report: STL is binary and standard output is a terminal; "
                     "redirect it to a file (> dome.stl)\n";
        return 2;
    }
    int status = 0;
    if (options.help)
        std::cout << reportHelpText();
    else
        status = writeReport(options);

    // The help text too: lost output is a failure, whatever was asked for.
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "geodesic-report: could not write to standard output\n";
        return 1;
    }
    return status;
}
