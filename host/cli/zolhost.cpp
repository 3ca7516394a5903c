// zolhost: our stand-in for the video application. It applies one effect to
// a composition, keeps it in a project file, changes its parameters,
// describes plug-ins and projects as JSON and renders frames.
//
//   zolhost info EFFECT
//   zolhost new EFFECT -o PROJECT [--size WxH] [--fps N] [--duration FRAMES]
//   zolhost set PROJECT ASSIGNMENT...
//   zolhost show PROJECT
//   zolhost text PROJECT FILE [--second FILE]
//   zolhost render PROJECT -o OUT [--frames A-B] [--half] [--quality draft|high] [--input FILE]
//   zolhost edit PROJECT --script FILE
//
// Every failure is one line on standard error and exit status 1.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <exception>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "host/core/edit.h"
#include "host/core/error.h"
#include "host/core/instance_text.h"
#include "host/core/project.h"
#include "host/core/render.h"
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

// A bar on a terminal, redrawn in place; nothing when standard error is a
// file or a pipe, where the summary line says it all.
class ProgressBar {
public:
    ProgressBar() : tty_(isatty(STDERR_FILENO) == 1) {}
    void operator()(int32_t done, int32_t total, double seconds) {
        if (!tty_) return;
        constexpr int kWidth = 30;
        int filled = total > 0 ? static_cast<int>(static_cast<int64_t>(done) * kWidth / total) : kWidth;
        double fps = seconds > 0 ? done / seconds : 0.0;
        std::fprintf(stderr, "\rframe %d/%d [%s%s] %.1f fps", done, total, std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, '.').c_str(), fps);
        if (done == total) std::fputc('\n', stderr);
        std::fflush(stderr);
        drawn_ = done != total;
    }
    // A failure message starts on a line of its own.
    ~ProgressBar() {
        if (drawn_) std::fputc('\n', stderr);
    }

private:
    bool tty_;
    bool drawn_ = false;
};

std::string summaryLine(const zolhost::RenderSummary& r) {
    char line[512];
    double fps = r.seconds > 0 ? r.frames / r.seconds : 0.0;
    std::snprintf(line, sizeof line, "rendered %d frame%s in %.1f s (%.1f fps) to ", r.frames,
                  r.frames == 1 ? "" : "s", r.seconds, fps);
    return line + r.output;
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

    std::string textProject, textFile, textSecond;
    auto* text = app.add_subcommand(
        "text", "Replace the text of a project's instance with a file's bytes (rich text or plain text)");
    text->add_option("PROJECT", textProject, "Project file")->required();
    text->add_option("FILE", textFile, "The text; for the morphing effect the first text")->required();
    auto* second = text->add_option("--second", textSecond, "The morphing effect's second text");

    zolhost::RenderOptions renderOpts;
    std::string renderProject, quality = "high";
    auto* render = app.add_subcommand("render", "Render frames to a PNG, a numbered PNG sequence or a video");
    render->add_option("PROJECT", renderProject, "Project file")->required();
    render->add_option("-o,--output", renderOpts.output,
                       "out.png (first frame of the range), out_%04d.png (one per frame), "
                       "or .mp4, .mov, .webm, .gif (through ffmpeg)")
        ->required();
    render->add_option("--frames", renderOpts.frames, "A-B or one frame (the whole duration)");
    render->add_flag("--half", renderOpts.half, "Render at half the composition's width and height");
    render->add_option("--quality", quality, "draft or high (high)")->check(CLI::IsMember({"draft", "high"}));
    render->add_option("--input", renderOpts.input, "Image or video for the input layer (transparent)");

    std::string editProject, editScript;
    auto* edit = app.add_subcommand("edit", "Open the effect's editor on a project's instance, worked by a script");
    edit->add_option("PROJECT", editProject, "Project file")->required();
    edit->add_option("--script", editScript, "JSON steps that stand in for the user");

    if (argc > 1 && argv[1][0] != '-') {
        std::string cmd = argv[1];
        if (cmd != "info" && cmd != "new" && cmd != "set" && cmd != "show" && cmd != "text" && cmd != "render" &&
            cmd != "edit") {
            std::cerr << "zolhost: unknown command \"" << cmd
                      << "\": give info, new, set, show, text, render or edit (see zolhost --help)\n";
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
    } else if (*text) {
        std::optional<std::string> secondFile;
        if (*second) secondFile = textSecond;
        zolhost::setProjectText(textProject, textFile, secondFile);
    } else if (*edit) {
        if (editScript.empty())
            throw Error("no display is available to show the editor; give --script FILE to work it headless "
                        "(the project is unchanged)");
        auto session = zolhost::openProject(editProject);
        if (zolhost::editWithScript(*session, editScript).changed) zolhost::saveProject(*session, editProject);
    } else if (*render) {
        renderOpts.quality = quality == "draft" ? PF_Quality_LO : PF_Quality_HI;
        auto session = zolhost::openProject(renderProject);
        zolhost::RenderSummary summary;
        {
            ProgressBar bar;
            summary = zolhost::renderProject(*session, renderOpts, std::ref(bar));
        }
        std::cerr << summaryLine(summary) << "\n";
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
