#include "AudioTestSupport.h"

#include "audio/PcmReading.h"
#include "support/GlTestContext.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

constexpr long chunk = 220500;

class PcmReading : public ::testing::Test {
protected:
    void SetUp() override { dir = makeTempDir("orvanta-pcm"); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
};

// Root mean square of samples [from, from + count).
float rms(const std::vector<float>& s, size_t from, size_t count)
{
    double sum = 0;
    for (size_t i = from; i < from + count; ++i)
        sum += double(s[i]) * s[i];
    return static_cast<float>(std::sqrt(sum / double(count)));
}

// Copies the file with one byte of its last page but one changed, so that page fails its
// checksum and the decoder meets a hole there.
std::string damageMiddlePage(const std::string& source, const std::string& target)
{
    std::ifstream in(source, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<size_t> pages;
    for (size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (bytes[i] == 'O' && bytes[i + 1] == 'g' && bytes[i + 2] == 'g' && bytes[i + 3] == 'S')
            pages.push_back(i);
    // A page after the first audio page: the decoder notices the gap in the page sequence.
    EXPECT_GE(pages.size(), 5u);
    size_t page = pages[pages.size() - 2];
    // The body follows the 27-byte header and its lacing table.
    size_t body = page + 27 + static_cast<unsigned char>(bytes[page + 26]);
    bytes[body + 10] = static_cast<char>(bytes[body + 10] ^ 0x5a);
    std::ofstream(target, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
    return target;
}

}  // namespace

TEST_F(PcmReading, LoopingShortStreamFillsTheWholeChunkWithNoGapWhereItWraps)
{
    // Half a second of 440 Hz holds exactly 220 periods, so the looped signal is one unbroken
    // sine; a chunk holds five passes of it.
    const double frequency = 440.0;
    std::string file = writeOgg(dir, "tone", sineFrames(0.5, 1, mixRate, frequency), 1, mixRate);
    OpenDecoder decoder(file);
    ASSERT_TRUE(decoder.ok);
    ASSERT_LT(ov_pcm_total(&decoder.file, -1) * 2, chunk);

    std::vector<char> data(chunk);
    PcmFill fill = readPcm(decoder.file, data.data(), chunk, true);
    EXPECT_EQ(fill.bytes, chunk);
    EXPECT_FALSE(fill.streamEnded);
    EXPECT_EQ(fill.error, 0);

    std::vector<float> samples = toFloat(data, fill.bytes);
    const size_t window = 441;  // 10 ms
    for (size_t from = 0; from + window <= samples.size(); from += window)
        ASSERT_GT(rms(samples, from, window), 0.3f) << "quiet 10 ms at sample " << from;
    // Around each wrap the samples go on as the sine would. The cross-lapped rewind blends the
    // end of one pass into the start of the next, which dips the sine a little for a few dozen
    // samples; a gap or a jump would be off by up to the full amplitude.
    const size_t pass = 22050;
    for (size_t wrap = pass; wrap < samples.size(); wrap += pass) {
        EXPECT_GT(rms(samples, wrap - 44, 88), 0.3f) << "quiet 2 ms at the wrap at " << wrap;
        for (size_t i = wrap - 64; i < wrap + 64; ++i) {
            float expected = 0.5f * static_cast<float>(
                                        std::sin(2 * std::numbers::pi * frequency * double(i % pass) / mixRate));
            ASSERT_NEAR(samples[i], expected, 0.25f) << "sample " << i << ", wrap at " << wrap;
        }
    }
}

TEST_F(PcmReading, StreamWithoutLoopingEndsWithAShorterLastBlock)
{
    // 3 s of mono: one full chunk, then the remaining 0.5 s, then nothing.
    std::string file = writeOgg(dir, "tone", sineFrames(3.0, 1, mixRate, 440.0), 1, mixRate);
    OpenDecoder decoder(file);
    ASSERT_TRUE(decoder.ok);
    long total = static_cast<long>(ov_pcm_total(&decoder.file, -1)) * 2;
    ASSERT_EQ(total, 3 * mixRate * 2);

    std::vector<char> data(chunk);
    PcmFill first = readPcm(decoder.file, data.data(), chunk, false);
    EXPECT_EQ(first.bytes, chunk);
    EXPECT_FALSE(first.streamEnded);
    PcmFill last = readPcm(decoder.file, data.data(), chunk, false);
    EXPECT_EQ(last.bytes, total - chunk);
    EXPECT_TRUE(last.streamEnded);
    PcmFill after = readPcm(decoder.file, data.data(), chunk, false);
    EXPECT_EQ(after.bytes, 0);
    EXPECT_TRUE(after.streamEnded);
}

TEST_F(PcmReading, HoleInTheStreamIsSkippedWithoutMovingTheFillBack)
{
    std::string clean = writeOgg(dir, "tone", sineFrames(3.0, 2, mixRate, 440.0), 2, mixRate);
    std::string damaged = damageMiddlePage(clean, dir + "/damaged.ogg");

    // Reference: every positive ov_read result appended, every negative one dropped.
    std::vector<char> expected;
    int holes = 0;
    {
        OpenDecoder decoder(damaged);
        ASSERT_TRUE(decoder.ok);
        char block[4096];
        int section = 0;
        for (long n; (n = ov_read(&decoder.file, block, sizeof block, 0, 2, 1, &section)) != 0;) {
            if (n == OV_HOLE)
                ++holes;
            else
                ASSERT_GT(n, 0) << vorbisErrorText(static_cast<int>(n));
            if (n > 0)
                expected.insert(expected.end(), block, block + n);
        }
    }
    ASSERT_GE(holes, 1) << "the damaged page did not make a hole";
    ASSERT_LT(expected.size(), size_t(3 * mixRate * 4));

    OpenDecoder decoder(damaged);
    ASSERT_TRUE(decoder.ok);
    std::vector<char> decoded;
    std::vector<char> data(chunk);
    for (int fills = 0; fills < 10; ++fills) {
        PcmFill fill = readPcm(decoder.file, data.data(), chunk, false);
        EXPECT_EQ(fill.error, 0);
        decoded.insert(decoded.end(), data.begin(), data.begin() + fill.bytes);
        if (fill.streamEnded)
            break;
    }
    ASSERT_EQ(decoded.size(), expected.size());
    EXPECT_TRUE(decoded == expected) << "the samples after the hole differ from the reference";

    // Looping over the same hole still fills whole chunks of whole frames.
    OpenDecoder looped(damaged);
    ASSERT_TRUE(looped.ok);
    for (int fills = 0; fills < 4; ++fills)
        EXPECT_EQ(readPcm(looped.file, data.data(), chunk, true).bytes, chunk);
}

TEST_F(PcmReading, LoopingStreamWithoutSamplesEndsTheFill)
{
    std::string file = writeOgg(dir, "empty", {}, 1, mixRate);
    OpenDecoder decoder(file);
    ASSERT_TRUE(decoder.ok);
    ASSERT_EQ(ov_pcm_total(&decoder.file, -1), 0);

    std::vector<char> data(chunk);
    for (int fills = 0; fills < 3; ++fills) {
        PcmFill fill = readPcm(decoder.file, data.data(), chunk, true);
        EXPECT_EQ(fill.bytes, 0);
        EXPECT_TRUE(fill.streamEnded);
    }
}
