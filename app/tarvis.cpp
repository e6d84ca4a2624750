// tarvis: checks data files, fits 2D transformations between point files and
// corrects image points for radial distortion.

#include "Commands.h"

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv) {
    using namespace tarvis;

    CLI::App app{
        "Tarvis photogrammetry tools: check data files, fit 2D transformations, correct distortion."};
    app.set_version_flag("--version", std::string("tarvis ") + TARVIS_VERSION);
    app.require_subcommand(1);

    CheckOptions check;
    CLI::App* checkCommand =
        app.add_subcommand("check", "Tell the kind of each file, read it and report every read error.");
    checkCommand
        ->add_option("FILE", check.files, "Camera (.cam), reseau (.res, .dres) or point files (.coo, .imo)")
        ->required();
    checkCommand->add_option(
        "--columns", check.columns,
        "Point columns, e.g. number,X,Y,Z (default: number,X,Y,Z for .coo, number,X,Y else)");

    FitOptions fit;
    CLI::App* fitCommand = app.add_subcommand(
        "fit", "Pair the points of two files by number and fit a 2D transformation from SOURCE to TARGET.");
    fitCommand->add_option("SOURCE", fit.source, "Point file or reseau file of the source points")
        ->required();
    fitCommand->add_option("TARGET", fit.target, "Point file or reseau file of the target points")
        ->required();
    fitCommand->add_option("--type", fit.type, "helmert, affine, projective, polynomial or auto (by spread)")
        ->capture_default_str();
    fitCommand->add_option("--columns", fit.columns, "Point columns of both files")->capture_default_str();
    fitCommand->add_option("--region", fit.region, "L,B,R,T: the region the spread is judged in (auto)");
    fitCommand
        ->add_option("--reject", fit.rejectLimits,
                     "Remove blunders: the worst point while its residual exceeds 3 x RMS of its axis, "
                     "or the limits DX,DY")
        ->expected(0, 1)
        ->trigger_on_parse();
    fitCommand->add_option("--write", fit.write, "Write the transformation record to this file");
    fitCommand->add_flag("--json", fit.json, "Print the report as JSON");

    UndistortOptions undistort;
    CLI::App* undistortCommand = app.add_subcommand(
        "undistort", "Correct image points for a camera's radial distortion (or add it back).");
    undistortCommand->add_option("--camera-file", undistort.cameraFile, "The camera file")->required();
    undistortCommand->add_option("--camera", undistort.camera, "The number of the camera")->required();
    undistortCommand->add_option("POINTS", undistort.points, "Image points in mm")->required();
    undistortCommand->add_option("--columns", undistort.columns, "Point columns")->capture_default_str();
    undistortCommand->add_option("--output,-o", undistort.output,
                                 "Write the points here (default: standard output)");
    undistortCommand->add_flag("--inverse", undistort.inverse, "Add the distortion instead of removing it");

    try {
        app.parse(argc, argv);
    } catch (CLI::ParseError const& e) {
        int const code = app.exit(e);
        return code == 0 ? ExitOk : ExitUsage;
    }

    if (*checkCommand)
        return RunCheck(check, std::cout, std::cerr);
    if (*fitCommand) {
        fit.reject = fitCommand->count("--reject") > 0;
        return RunFit(fit, std::cout, std::cerr);
    }
    return RunUndistort(undistort, std::cout, std::cerr);
}
