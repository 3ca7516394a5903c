#include "host/core/render.h"

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "host/core/child_process.h"
#include "host/core/error.h"
#include "host/core/plugin.h"

namespace zolhost {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFfmpeg = "ffmpeg";

bool allDigits(const std::string& s) {
    return !s.empty() && s.size() <= 9 && s.find_first_not_of("0123456789") == std::string::npos;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The composition's rate as ffmpeg reads it: ticks per second over ticks per
// frame, so that 29.97 stays exact.
std::string rateText(const Composition& comp) {
    return std::to_string(comp.timeScale()) + "/" + std::to_string(comp.timeStep());
}

// A name beside `path` for writing before the final rename. It keeps the
// extension, which ffmpeg and the reader of a folder listing go by.
std::string temporarySibling(const std::string& path) {
    fs::path p(path);
    // Appended piece by piece: g++ 12 misreads chained string sums at -O2.
    std::string name = ".";
    name += p.stem().string();
    name += ".part-";
    name += std::to_string(::getpid());
    name += p.extension().string();
    return (p.parent_path() / name).string();
}

std::string folderOf(const std::string& path) {
    fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// Fails early, with the reason, when nothing can be written where asked.
void checkWritableFolder(const std::string& path) {
    std::error_code ec;
    std::string folder = folderOf(path);
    if (!fs::exists(folder, ec))
        throw Error("cannot write " + path + ": the folder " + folder + " does not exist");
    if (!fs::is_directory(folder, ec)) throw Error("cannot write " + path + ": " + folder + " is not a folder");
    if (fs::is_directory(path, ec)) throw Error("cannot write " + path + ": it is a folder");
}

void removeQuietly(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

void renameInto(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec) {
        removeQuietly(from);
        throw Error("cannot write " + to + ": " + ec.message());
    }
}

struct PngFailure {
    char message[256];
};

void pngError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message ? message : "libpng failed");
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// libpng reports errors by a long jump back here, so nothing in this
// function may need a destructor. Returns false with the reason in
// `failure`.
bool encodePng(FILE* file, const PF_LayerDef& world, PngFailure& failure) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, pngError, pngWarning);
    if (!png) {
        std::snprintf(failure.message, sizeof failure.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        if (!info) std::snprintf(failure.message, sizeof failure.message, "out of memory");
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(world.width), static_cast<png_uint_32>(world.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Frames are mostly empty: trying every row filter costs far more time
    // than it saves bytes.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_write_info(png, info);
    // The world's bytes are alpha, red, green, blue; PNG wants the alpha last.
    png_set_swap_alpha(png);
    for (int32_t y = 0; y < world.height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(world.data) + static_cast<size_t>(y) * world.rowbytes);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// One frame as a PNG, RGBA 8-bit, colours as the plug-in left them (not
// premultiplied). Written under a temporary name and renamed, so a reader
// never sees half a file.
void writePng(const std::string& path, const PF_LayerDef& world) {
    std::string temp = temporarySibling(path);
    FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file) throw Error("cannot write " + path + ": " + std::strerror(errno));
    PngFailure failure{};
    bool ok = encodePng(file, world, failure);
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        std::snprintf(failure.message, sizeof failure.message, "%s", std::strerror(errno));
    }
    if (!ok) {
        removeQuietly(temp);
        throw Error("cannot write " + path + ": " + failure.message);
    }
    renameInto(temp, path);
}

// ---------------------------------------------------------------- sinks

class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void write(int32_t frame, const PF_LayerDef& world) = 0;
    virtual void finish() {}
};

class StillSink : public FrameSink {
public:
    explicit StillSink(std::string path) : path_(std::move(path)) {}
    void write(int32_t, const PF_LayerDef& world) override { writePng(path_, world); }

private:
    std::string path_;
};

class SequenceSink : public FrameSink {
public:
    explicit SequenceSink(const OutputTarget& target) : target_(target) {}
    void write(int32_t frame, const PF_LayerDef& world) override { writePng(target_.frameName(frame), world); }

private:
    OutputTarget target_;
};

// Raw frames piped into ffmpeg, which writes a temporary file renamed at the
// end; a render that stops half-way removes it.
class VideoSink : public FrameSink {
public:
    VideoSink(const OutputTarget& target, int32_t width, int32_t height, const Composition& comp)
        : path_(target.path), temp_(temporarySibling(target.path)), width_(width), height_(height) {
        const std::string& ext = target.extension;
        flatten_ = ext == ".mp4" || ext == ".gif";
        std::vector<std::string> args = {kFfmpeg, "-hide_banner", "-nostdin", "-loglevel", "error", "-y",
                                         "-f", "rawvideo", "-pix_fmt", "argb",
                                         "-s", std::to_string(width) + "x" + std::to_string(height),
                                         "-r", rateText(comp), "-i", "-"};
        if (ext == ".mp4") {
            // x264 at 4:2:0 needs even sides: pad with black.
            args.insert(args.end(), {"-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-c:v", "libx264", "-pix_fmt",
                                     "yuv420p", "-crf", "18", "-movflags", "+faststart", "-f", "mp4"});
        } else if (ext == ".mov") {
            args.insert(args.end(), {"-c:v", "prores_ks", "-profile:v", "4444", "-pix_fmt", "yuva444p10le",
                                     "-f", "mov"});
        } else if (ext == ".webm") {
            args.insert(args.end(), {"-c:v", "libvpx-vp9", "-pix_fmt", "yuva420p", "-b:v", "0", "-crf", "30",
                                     "-row-mt", "1", "-f", "webm"});
        } else {
            args.insert(args.end(), {"-filter_complex", "[0:v]split[a][b];[a]palettegen[p];[b][p]paletteuse",
                                     "-f", "gif"});
        }
        args.push_back(temp_);
        // Claim the temporary name first: an unwritable folder is reported
        // before any frame is rendered.
        {
            FILE* probe = std::fopen(temp_.c_str(), "wb");
            if (!probe) throw Error("cannot write " + path_ + ": " + std::strerror(errno));
            std::fclose(probe);
        }
        try {
            child_ = std::make_unique<ChildProcess>(args, ChildProcess::Pipe::ToChild);
        } catch (const Error& e) {
            removeQuietly(temp_);
            throw Error(std::string(e.what()) + ": it is needed to encode " + path_);
        }
        if (flatten_) buffer_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    }

    ~VideoSink() override {
        if (!done_) {
            child_.reset();
            removeQuietly(temp_);
        }
    }

    void write(int32_t, const PF_LayerDef& world) override {
        bool ok = true;
        for (int32_t y = 0; y < height_ && ok; ++y) {
            const auto* row = reinterpret_cast<const PF_Pixel*>(reinterpret_cast<const uint8_t*>(world.data) +
                                                                static_cast<size_t>(y) * world.rowbytes);
            if (!flatten_) {
                ok = child_->write(row, static_cast<size_t>(width_) * 4);
                continue;
            }
            // Formats without alpha show the frame over black.
            PF_Pixel* out = buffer_.data() + static_cast<size_t>(y) * width_;
            for (int32_t x = 0; x < width_; ++x) {
                const PF_Pixel& p = row[x];
                auto over = [a = p.alpha](uint8_t c) { return static_cast<uint8_t>((c * a + 127) / 255); };
                out[x] = PF_Pixel{255, over(p.red), over(p.green), over(p.blue)};
            }
            if (y == height_ - 1)
                ok = child_->write(buffer_.data(), buffer_.size() * sizeof(PF_Pixel));
        }
        if (!ok) fail("stopped taking frames");
    }

    void finish() override {
        if (child_->finish() != 0) fail("failed");
        renameInto(temp_, path_);
        done_ = true;
    }

private:
    [[noreturn]] void fail(const std::string& what) {
        child_->finish();
        std::string why = child_->lastErrorLine();
        throw Error(std::string(kFfmpeg) + " " + what + " encoding " + path_ + (why.empty() ? "" : ": " + why));
    }

    std::string path_, temp_;
    int32_t width_, height_;
    bool flatten_ = false;
    bool done_ = false;
    std::vector<PF_Pixel> buffer_;
    std::unique_ptr<ChildProcess> child_;
};

// ---------------------------------------------------------------- input layer

// An image or a video decoded by ffmpeg at the composition's rate and the
// render size. A still image gives one frame, which then holds, as does the
// last frame of a video shorter than the range.
class InputSource {
public:
    InputSource(const std::string& path, int32_t width, int32_t height, const Composition& comp)
        : path_(path), scratch_(static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
        std::error_code ec;
        if (!fs::is_regular_file(path, ec)) throw Error("cannot read the input " + path + ": no such file");
        std::vector<std::string> args = {kFfmpeg, "-hide_banner", "-nostdin", "-loglevel", "error", "-i", path,
                                         "-vf",
                                         "fps=" + rateText(comp) + ",scale=" + std::to_string(width) + ":" +
                                             std::to_string(height) + ",format=argb",
                                         "-f", "rawvideo", "-pix_fmt", "argb", "-"};
        try {
            child_ = std::make_unique<ChildProcess>(args, ChildProcess::Pipe::FromChild);
        } catch (const Error& e) {
            throw Error(std::string(e.what()) + ": it is needed to decode " + path);
        }
    }

    // Fills `world` with the next frame, or leaves the last one there.
    void next(PF_LayerDef& world) {
        if (ended_) return;
        // Read aside: a short read at the end must not spoil the held frame.
        size_t got = child_->read(scratch_.data(), scratch_.size());
        if (got == scratch_.size()) {
            std::memcpy(world.data, scratch_.data(), scratch_.size());
            ++frames_;
            return;
        }
        ended_ = true;
        int status = child_->finish();
        if (frames_ == 0) {
            std::string why = child_->lastErrorLine();
            if (why.empty()) why = status == 0 ? "it holds no picture" : "ffmpeg failed";
            throw Error("cannot decode the input " + path_ + ": " + why);
        }
    }

private:
    std::string path_;
    std::vector<uint8_t> scratch_;
    std::unique_ptr<ChildProcess> child_;
    int64_t frames_ = 0;
    bool ended_ = false;
};

std::string rangeHelp(int32_t duration) {
    return "--frames must be A-B or one frame, within 0-" + std::to_string(duration - 1);
}

}  // namespace

int32_t renderSide(int32_t side, bool half) { return half ? std::max(1, side / 2) : side; }

FrameRange parseFrameRange(const std::string& text, int32_t duration) {
    if (text.empty()) return {0, duration - 1};
    size_t dash = text.find('-');
    std::string a = text.substr(0, dash), b = dash == std::string::npos ? a : text.substr(dash + 1);
    if (!allDigits(a) || !allDigits(b))
        throw Error(rangeHelp(duration) + ", not \"" + text + "\"");
    FrameRange r{std::stoi(a), std::stoi(b)};
    if (r.first > r.last)
        throw Error("--frames " + text + " ends before it starts: give A-B with A not after B");
    if (r.last >= duration)
        throw Error("--frames " + text + " reaches past the composition's last frame " +
                    std::to_string(duration - 1));
    return r;
}

std::string OutputTarget::frameName(int32_t frame) const {
    std::string n = std::to_string(frame);
    if (static_cast<int>(n.size()) < width) n.insert(0, static_cast<size_t>(width) - n.size(), zeroPad ? '0' : ' ');
    return prefix + n + suffix;
}

OutputTarget parseOutputTarget(const std::string& path) {
    OutputTarget t;
    t.path = path;
    t.extension = lower(fs::path(path).extension().string());
    if (path.empty()) throw Error("give the output file with -o");

    // Look for one frame-number conversion; %% stands for a plain %.
    std::string literal;
    bool found = false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%') {
            literal += path[i];
            continue;
        }
        if (i + 1 < path.size() && path[i + 1] == '%') {
            literal += '%';
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool zero = j < path.size() && path[j] == '0';
        if (zero) ++j;
        size_t digits = j;
        while (j < path.size() && std::isdigit(static_cast<unsigned char>(path[j]))) ++j;
        if (j >= path.size() || path[j] != 'd' || found || j - digits > 2)
            throw Error("the output name " + path +
                        " may hold one frame number as %d or %0Nd (and %% for a percent sign), nothing else");
        found = true;
        t.zeroPad = zero;
        t.width = j > digits ? std::stoi(path.substr(digits, j - digits)) : 0;
        t.prefix = literal;
        literal.clear();
        i = j;
    }
    if (found) {
        t.suffix = literal;
        if (t.extension != ".png") throw Error("a numbered output " + path + " must end in .png");
        t.kind = OutputKind::Sequence;
        return t;
    }
    t.path = literal;
    if (t.extension == ".png") {
        t.kind = OutputKind::Still;
    } else if (t.extension == ".mp4" || t.extension == ".mov" || t.extension == ".webm" || t.extension == ".gif") {
        t.kind = OutputKind::Video;
    } else {
        throw Error("cannot tell what to write for " + path +
                    ": give a .png, a numbered .png such as out_%04d.png, or .mp4, .mov, .webm or .gif");
    }
    return t;
}

RenderSummary renderProject(Session& s, const RenderOptions& opts, const RenderProgress& progress) {
    Instance& inst = *s.instance;
    const Composition& comp = inst.composition();
    OutputTarget target = parseOutputTarget(opts.output);
    FrameRange range = parseFrameRange(opts.frames, comp.duration);
    if (target.kind == OutputKind::Still) range.last = range.first;

    const int32_t width = renderSide(comp.width, opts.half);
    const int32_t height = renderSide(comp.height, opts.half);
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);

    checkWritableFolder(target.kind == OutputKind::Sequence ? target.frameName(range.first) : target.path);
    std::unique_ptr<FrameSink> sink;
    switch (target.kind) {
        case OutputKind::Still: sink = std::make_unique<StillSink>(target.path); break;
        case OutputKind::Sequence: sink = std::make_unique<SequenceSink>(target); break;
        case OutputKind::Video: sink = std::make_unique<VideoSink>(target, width, height, comp); break;
    }

    std::vector<PF_Pixel> outPixels(pixels), inPixels(pixels);
    PF_LayerDef output{width, height, width * 4, outPixels.data()};
    PF_LayerDef input{width, height, width * 4, inPixels.data()};
    std::optional<InputSource> source;
    if (!opts.input.empty()) {
        source.emplace(opts.input, width, height, comp);
        // The layer starts with the composition: frames before the range
        // are read past.
        for (int32_t f = 0; f < range.first; ++f) source->next(input);
    }

    CallOptions call;
    call.quality = opts.quality;
    // A lower resolution as the host gives it: the world is smaller, the
    // layer's own size in in_data stays the full one.
    const uint32_t den = opts.half ? 2u : 1u;
    call.downsampleX = {1, den};
    call.downsampleY = {1, den};
    call.output = &output;
    call.input = &input;

    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    for (int32_t f = range.first; f <= range.last; ++f) {
        // A fresh, transparent world every frame: nothing of the last frame
        // may leak into this one.
        std::fill(outPixels.begin(), outPixels.end(), PF_Pixel{0, 0, 0, 0});
        if (source) source->next(input);
        call.frame = f;
        PF_Err err = inst.send(PF_Cmd_RENDER, call);
        if (err != PF_Err_NONE) {
            std::string msg = s.plugin->name() + ": render of frame " + std::to_string(f) + " failed with " +
                              describeError(err);
            if (!inst.lastMessage().empty()) msg += ": " + inst.lastMessage();
            throw Error(msg);
        }
        sink->write(f, output);
        if (progress) progress(f - range.first + 1, range.count(), elapsed());
    }
    sink->finish();
    return {range.count(), elapsed(), target.path};
}

}  // namespace zolhost
