// The fidelity gate: every view of the suite (views.txt) drawn by the render tool and measured
// against the converged reference stored for it (references/KEY.exr and .png, traced by
// scripts/update-fidelity). A view fails when its frame has drifted from the reference further than
// the figure recorded for it (figures/KEY.txt) by more than the reference's own noise accounts for:
// its tone-mapped squared error above the recorded one by more than the reference's estimated
// squared error against a converged picture, or its light further from the reference's than
// recorded by more than three standard errors of the reference's mean. An improvement passes and
// prints the new figures; with ORVANTA_UPDATE_FIDELITY=1 in the environment each view records its
// figures instead (scripts/update-fidelity --figures).
#include "metrics/ImageMetrics.h"
#include "platform/HdrImage.h"
#include "platform/PngFile.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

const std::string kSuite = std::string(ORVANTA_SOURCE_ROOT) + "/tests/fidelity";
// The gate's size: the stored references stay small, and a frame renders in seconds.
const std::vector<std::string> kSize = {"--width", "160", "--height", "90"};

struct GateView {
    std::string key;
    std::vector<std::string> options;
    std::string model;  // imported first when not empty
};

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

std::vector<GateView> readViews()
{
    std::vector<GateView> views;
    std::ifstream in(kSuite + "/views.txt");
    std::string line;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '|');)
            fields.push_back(trimmed(field));
        if (fields.size() != 4)
            continue;  // the view's test then reports the line as unreadable
        GateView view{fields[0], {}, {}};
        std::stringstream words(fields[2]);
        for (std::string word; words >> word;) {
            if (word.rfind("model=", 0) == 0)
                view.model = word.substr(6);
            else
                view.options.push_back(word);
        }
        views.push_back(view);
    }
    return views;
}

// "name value" lines; '#' starts a comment line.
std::map<std::string, double> readValues(const std::string& path)
{
    std::map<std::string, double> values;
    std::ifstream in(path);
    std::string name;
    double value;
    for (std::string line; std::getline(in, line);) {
        std::stringstream words(line);
        if (line.empty() || line[0] == '#' || !(words >> name >> value))
            continue;
        values[name] = value;
    }
    return values;
}

double mseOf(double psnrDb)
{
    return std::pow(10.0, -psnrDb / 10.0);
}

// gtest names a parameter in its listing; the view's key is its name.
void PrintTo(const GateView& view, std::ostream* out)
{
    *out << view.key;
}

class FidelityGate : public testing::TestWithParam<GateView> {};

TEST_P(FidelityGate, FrameStaysAsCloseToTheReferenceAsRecorded)
{
    const GateView& view = GetParam();
    const std::string reference = kSuite + "/references/" + view.key;
    const std::map<std::string, double> noise = readValues(reference + ".txt");
    for (const char* name : {"exposure", "referenceMse", "luminance", "standardError"})
        ASSERT_TRUE(noise.count(name)) << view.key << ": " << reference << ".txt lacks '" << name
                                       << "': run scripts/update-fidelity --references";

    const std::string folder = std::string(ORVANTA_FIDELITY_OUTPUT_DIR) + "/" + view.key;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    ASSERT_TRUE(std::filesystem::create_directories(folder)) << "cannot make " << folder;
    std::vector<std::string> arguments = kSize;
    if (!view.model.empty()) {
        ASSERT_TRUE(std::filesystem::exists(view.model))
            << view.model << " is missing: the view needs Debian's assimp-testmodels (scripts/setup installs it)";
        const ToolRun import = runTool(ORVANTA_IMPORT_PATH, {view.model, folder + "/model"});
        ASSERT_EQ(import.exitCode, 0) << import.output;
        const std::string stem = std::filesystem::path(view.model).stem().string();
        arguments.insert(arguments.end(), {"--scene", folder + "/model/" + stem + ".scene"});
    }
    arguments.insert(arguments.end(), view.options.begin(), view.options.end());
    char exposure[32];
    std::snprintf(exposure, sizeof exposure, "%.9g", noise.at("exposure"));
    arguments.insert(arguments.end(), {"--no-overlay", "--exposure", exposure, "--hdr", folder + "/frame.exr"});
    const ToolRun render = runTool(ORVANTA_RENDER_PATH, arguments);
    ASSERT_EQ(render.exitCode, 0) << view.key << ": " << render.output;

    std::string error;
    HdrImage referenceHdr, frameHdr;
    Picture referencePicture, framePicture;
    ASSERT_TRUE(readExr(reference + ".exr", referenceHdr, error)) << error;
    ASSERT_TRUE(readExr(folder + "/frame.exr", frameHdr, error)) << error;
    ASSERT_TRUE(
        readPng(reference + ".png", referencePicture.width, referencePicture.height, referencePicture.rgba, error))
        << error;
    ASSERT_TRUE(readPng(folder + "/frame.png", framePicture.width, framePicture.height, framePicture.rgba, error))
        << error;
    ASSERT_EQ(referencePicture.width, framePicture.width) << view.key;
    ASSERT_EQ(referencePicture.height, framePicture.height) << view.key;
    const double psnrNow = psnr(referencePicture, framePicture);
    const double energyNow = meanLuminance(frameHdr) / meanLuminance(referenceHdr);

    const std::string figuresPath = kSuite + "/figures/" + view.key + ".txt";
    const char* update = std::getenv("ORVANTA_UPDATE_FIDELITY");
    if (update && std::string(update) == "1") {
        std::ofstream out(figuresPath);
        out << "# the frame against the stored reference, as the gate measures it (scripts/update-fidelity)\n";
        out << "psnr " << psnrNow << "\nenergy " << energyNow << "\n";
        ASSERT_TRUE(out.good()) << "cannot write " << figuresPath;
        std::printf("%s: recorded PSNR %.3f dB, energy %.4f\n", view.key.c_str(), psnrNow, energyNow);
        return;
    }
    const std::map<std::string, double> recorded = readValues(figuresPath);
    ASSERT_TRUE(recorded.count("psnr") && recorded.count("energy"))
        << view.key << ": " << figuresPath << " lacks its figures: run scripts/update-fidelity --figures";

    const double mseNow = mseOf(psnrNow), mseRecorded = mseOf(recorded.at("psnr"));
    const double allowedMse = mseRecorded + noise.at("referenceMse");
    const double relativeError = noise.at("standardError") / noise.at("luminance");
    const double allowedEnergyOff = std::fabs(recorded.at("energy") - 1.0) + 3.0 * relativeError;
    std::printf("%s: PSNR %.3f dB (recorded %.3f, at least %.3f passes), energy %.4f (recorded %.4f, within "
                "%.4f of 1 passes)\n",
                view.key.c_str(), psnrNow, recorded.at("psnr"), -10.0 * std::log10(allowedMse), energyNow,
                recorded.at("energy"), allowedEnergyOff);
    EXPECT_LE(mseNow, allowedMse) << view.key << ": the frame's PSNR fell from " << recorded.at("psnr") << " to "
                                  << psnrNow << " dB, more than the reference's noise accounts for";
    EXPECT_LE(std::fabs(energyNow - 1.0), allowedEnergyOff)
        << view.key << ": the frame holds " << energyNow << " of the reference's light (recorded "
        << recorded.at("energy") << ")";
    if (mseNow < mseRecorded - noise.at("referenceMse") ||
        std::fabs(energyNow - 1.0) < std::fabs(recorded.at("energy") - 1.0) - 3.0 * relativeError)
        std::printf("%s: better than recorded; record it with scripts/update-fidelity --figures\n", view.key.c_str());
}

INSTANTIATE_TEST_SUITE_P(Views, FidelityGate, testing::ValuesIn(readViews()),
                         [](const testing::TestParamInfo<GateView>& info) { return info.param.key; });

}  // namespace
