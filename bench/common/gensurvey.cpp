#include <CLI/CLI.hpp>

#include <iostream>

#include "filesystem.h"
#include "surveygenerator.h"

// Writes a synthetic survey for the benchmarks and for trying the editor.
int main(int argc, char** argv) {
    CLI::App app("Writes a synthetic power line survey", "corvane-gensurvey");
    corvane::SurveyShape shape;
    std::string format = "ept";
    std::string output;
    app.add_option("--points", shape.points, "rows in all");
    app.add_option("--jstakes", shape.jStakes, "J stakes");
    app.add_option("--seed", shape.seed, "random seed");
    app.add_flag("--computed", shape.computed, "fill segments, distances and offsets");
    app.add_option("--format", format, "ept or csv")->check(CLI::IsMember({"ept", "csv"}));
    app.add_option("-o,--output", output, "output file")->required();
    CLI11_PARSE(app, argc, argv);
    corvane::Survey survey = corvane::generateSurvey(shape);
    std::string bytes = format == "csv" ? corvane::surveyRawCsvBytes(survey)
                                        : corvane::surveyEptBytes(survey);
    corvane::Status status = corvane::writeFileAtomically(output, bytes);
    if (!status) {
        std::cerr << status.error().message << '\n';
        return 3;
    }
    return 0;
}
