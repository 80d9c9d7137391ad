// geodesic-report: the pentagon great-circle quantities of the geodesic
// figure, for any four arguments, as the plain-text value report, as JSON, or
// as an SVG drawing of the unrolled cylinder; with --intersections, where the
// great circles meet and the lengths between. Usage errors exit with status 2.
#include <iostream>

#include "mathematics/figure_samples.h"
#include "mathematics/intersections.h"
#include "support/tholix_print_values.h"
#include "tools/intersections_text.h"
#include "tools/json_report.h"
#include "tools/report_options.h"
#include "tools/svg_report.h"

namespace {
const int kSamplesPerCurve = 100; // as many as the figure draws

void writeReport(const reportOptions& options) {
    const float* a = options.arguments;
    switch (options.format) {
    case reportFormat::text:
        if (options.intersections)
            writeIntersectionsText(std::cout, a, computeIntersections(a[0], a[1], a[2], a[3]));
        else
            tholix_print_values(a[0], a[1], a[2], a[3], std::cout);
        break;
    case reportFormat::json:
        writeJsonReport(std::cout, computeFigure(a[0], a[1], a[2], a[3], kSamplesPerCurve),
                        computeIntersections(a[0], a[1], a[2], a[3]));
        break;
    case reportFormat::svg: {
        const figureSamples figure = computeFigure(a[0], a[1], a[2], a[3], kSamplesPerCurve);
        if (options.intersections) {
            const circleIntersections marks = computeIntersections(a[0], a[1], a[2], a[3]);
            writeSvgReport(std::cout, figure, &marks);
        } else {
            writeSvgReport(std::cout, figure);
        }
        break;
    }
    }
}
} // namespace

int main(int argc, char** argv) {
    reportOptions options;
    const std::string problem = parseReportOptions(argc, argv, options);
    if (!problem.empty()) {
        std::cerr << "geodesic-report: " << problem << "\n" << reportUsageLine() << "\n";
        return 2;
    }
    if (options.help)
        std::cout << reportHelpText();
    else
        writeReport(options);

    // The help text too: lost output is a failure, whatever was asked for.
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "geodesic-report: could not write to standard output\n";
        return 1;
    }
    return 0;
}
