#include "cli_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

namespace cli {

namespace {

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

}  // namespace

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

int lines(const std::string& s) {
    int n = 0;
    for (char c : s) n += c == '\n';
    return n;
}

std::vector<uint8_t> decodeBase64(const std::string& b64) {
    static const std::string abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::vector<uint8_t> out;
    uint32_t acc = 0;
    int bits = 0;
    for (char c : b64) {
        if (c == '=') break;
        acc = (acc << 6) | static_cast<uint32_t>(abc.find(c));
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<uint8_t>(acc >> bits));
        }
    }
    return out;
}

std::vector<uint8_t> sequenceData(const std::string& project) {
    Result r = run({"show", project});
    EXPECT_EQ(r.status, 0) << r.err;
    nlohmann::json shown = nlohmann::json::parse(r.out, nullptr, false);
    if (shown.is_discarded()) {
        ADD_FAILURE() << "zolhost show printed no JSON: " << r.out;
        return {};
    }
    return decodeBase64(shown["sequence_data"]["base64"].get<std::string>());
}

int32_t word(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(b.at(at + i)) << (8 * i);
    return static_cast<int32_t>(v);
}

std::string workDir(const std::string& name) {
    // CTest runs the cases side by side: each gets a folder of its own.
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string unique = name;
    if (test) unique += std::string("_") + test->test_suite_name() + "_" + test->name();
    for (char& c : unique)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') c = '_';
    auto dir = std::filesystem::path(ZOL_TEST_WORK_DIR) / unique;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

Result run(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    static int counter = 0;
    std::filesystem::create_directories(ZOL_TEST_WORK_DIR);
    std::string errFile = std::string(ZOL_TEST_WORK_DIR) + "/stderr." + std::to_string(::getpid()) + "." +
                          std::to_string(counter++);
    std::string cmd = "env -u ZOL_PLUGIN_DIR -u ZOLHOST_REFUSE_HANDLES -u PROBE_FAIL";
    // Appended piece by piece: g++ 12 misreads chained string sums at -O2.
    auto add = [&cmd](const std::string& word) {
        cmd += ' ';
        cmd += shellQuote(word);
    };
    for (const auto& e : env) add(e);
    add(ZOLHOST);
    for (const auto& a : args) add(a);
    cmd += " 2>";
    cmd += shellQuote(errFile);
    Result r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = readFile(errFile);
    std::filesystem::remove(errFile);
    return r;
}

}  // namespace cli
