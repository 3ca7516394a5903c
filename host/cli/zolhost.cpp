// zolhost: our stand-in for the video application. It applies one effect to
// a composition, keeps it in a project file, changes its parameters and
// describes plug-ins and projects as JSON.
//
//   zolhost info EFFECT
//   zolhost new EFFECT -o PROJECT [--size WxH] [--fps N] [--duration FRAMES]
//   zolhost set PROJECT ASSIGNMENT...
//   zolhost show PROJECT
//
// Every failure is one line on standard error and exit status 1.
#include <cmath>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "host/core/error.h"
#include "host/core/project.h"
#include "host/core/session.h"

namespace {

using zolhost::Error;

void printJson(const nlohmann::ordered_json& j) {
    std::cout << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    std::cout.flush();
}

zolhost::Composition compositionFrom(const std::string& size, double fps, int64_t duration) {
    zolhost::Composition c;
    size_t x = size.find('x');
    auto digits = [](const std::string& s) {
        return !s.empty() && s.size() <= 6 && s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (x == std::string::npos || !digits(size.substr(0, x)) || !digits(size.substr(x + 1)))
        throw Error("--size must be WIDTHxHEIGHT, for example 1280x720, not \"" + size + "\"");
    c.width = std::stoi(size.substr(0, x));
    c.height = std::stoi(size.substr(x + 1));
    if (!std::isfinite(fps) || fps <= 0) throw Error("--fps must be a positive number");
    // The host's clock counts thousandths of a frame at most.
    c.fps = std::round(fps * 1000.0) / 1000.0;
    if (duration < 1 || duration > zolhost::kMaxDuration)
        throw Error("--duration must lie from 1 to " + std::to_string(zolhost::kMaxDuration) + " frames");
    c.duration = static_cast<int32_t>(duration);
    zolhost::checkComposition(c);
    return c;
}

std::string oneLine(std::string s) {
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

int run(int argc, char** argv) {
    CLI::App app{"zolhost: applies an effect plug-in to a composition and keeps it in a project file"};
    app.require_subcommand(1);

    std::string infoEffect;
    auto* info = app.add_subcommand("info", "Describe a plug-in and its parameters as JSON");
    info->add_option("EFFECT", infoEffect, "typing, morphing, digitalizer or a plug-in file")->required();

    std::string newEffect, newOut, newSize = "1280x720";
    double newFps = 30;
    int64_t newDuration = 150;
    auto* create = app.add_subcommand("new", "Write a project with one new instance of EFFECT");
    create->add_option("EFFECT", newEffect, "typing, morphing, digitalizer or a plug-in file")->required();
    create->add_option("-o,--output", newOut, "Project file to write")->required();
    create->add_option("--size", newSize, "Composition size WxH (1280x720)");
    create->add_option("--fps", newFps, "Frames per second (30)");
    create->add_option("--duration", newDuration, "Duration in frames (150)");

    std::string setProject;
    std::vector<std::string> assignments;
    auto* set = app.add_subcommand("set", "Change parameters: NAME=VALUE, or NAME@FRAME=VALUE for a keyframe");
    set->add_option("PROJECT", setProject, "Project file")->required();
    set->add_option("ASSIGNMENT", assignments, "NAME=VALUE or NAME@FRAME=VALUE; NAME may be an index")
        ->required()
        ->allow_extra_args();

    std::string showProject;
    auto* show = app.add_subcommand("show", "Describe a project's instance as JSON");
    show->add_option("PROJECT", showProject, "Project file")->required();

    if (argc > 1 && argv[1][0] != '-') {
        std::string cmd = argv[1];
        if (cmd != "info" && cmd != "new" && cmd != "set" && cmd != "show") {
            std::cerr << "zolhost: unknown command \"" << cmd << "\": give info, new, set or show (see zolhost --help)\n";
            return 1;
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "zolhost: " << oneLine(e.what()) << " (see zolhost --help)\n";
        return 1;
    }

    if (*info) {
        auto plugin = zolhost::Plugin::load(zolhost::resolveEffect(infoEffect));
        printJson(zolhost::infoJson(*plugin));
    } else if (*create) {
        auto session = zolhost::newSession(newEffect, compositionFrom(newSize, newFps, newDuration));
        zolhost::saveProject(*session, newOut);
    } else if (*set) {
        auto session = zolhost::openProject(setProject);
        zolhost::applyAssignments(*session, assignments);
        zolhost::saveProject(*session, setProject);
    } else if (*show) {
        auto session = zolhost::openProject(showProject);
        printJson(zolhost::showJson(*session));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "zolhost: " << oneLine(e.what()) << "\n";
    } catch (...) {
        std::cerr << "zolhost: unexpected failure\n";
    }
    return 1;
}
