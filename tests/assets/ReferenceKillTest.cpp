// The reference tracer's outputs are whole or absent whatever moment it is killed at: each file is
// written under a temporary name and renamed into place. The kills land at the moments that
// matter, seen through inotify: while the EXR is being written over an earlier run's files, and
// while the PNG is being written after the EXR is in place.
#include "platform/HdrImage.h"
#include "platform/PngFile.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace Orvanta;

namespace {

constexpr int kWidth = 32;
constexpr int kHeight = 18;

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Runs the reference tracer on a tiny view writing dir/out.exr and dir/out.png. With killAt > 0
// it is killed (SIGKILL) as soon as the killAt-th temporary file appears in dir. True when it
// ended by that kill; false when it ended by itself (then `exitCode` holds its status).
bool traceAndKill(const std::string& dir, int killAt, int& exitCode)
{
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch < 0 || inotify_add_watch(watch, dir.c_str(), IN_CREATE) < 0) {
        ADD_FAILURE() << "inotify on " << dir << " failed";
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        const std::string output = dir + "/out.png";
        execl(ORVANTA_TRACE_PATH, ORVANTA_TRACE_PATH, "--reference", "--width", std::to_string(kWidth).c_str(),
              "--height", std::to_string(kHeight).c_str(), "--spp", "1", "--exposure", "1.5", "--output",
              output.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int temporaries = 0;
    bool killed = false;
    while (killAt > 0 && !killed) {
        pollfd ready{watch, POLLIN, 0};
        if (poll(&ready, 1, 200) <= 0) {
            if (waitpid(child, nullptr, WNOHANG) == child) {
                ADD_FAILURE() << "the tracer ended before writing " << killAt << " temporaries";
                close(watch);
                exitCode = -1;
                return false;
            }
            continue;
        }
        alignas(inotify_event) char buffer[4096];
        const ssize_t length = read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < length && !killed;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && std::string(event->name).find(".tmp") != std::string::npos &&
                ++temporaries == killAt) {
                kill(child, SIGKILL);
                killed = true;
            }
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    close(watch);
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// A whole output: each file absent, or readable with the view's size.
void expectWholeOrAbsent(const std::string& dir)
{
    HdrImage hdr;
    std::string error;
    if (std::filesystem::exists(dir + "/out.exr")) {
        EXPECT_TRUE(readExr(dir + "/out.exr", hdr, error)) << error;
        EXPECT_EQ(hdr.width, kWidth);
    }
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    if (std::filesystem::exists(dir + "/out.png")) {
        EXPECT_TRUE(readPng(dir + "/out.png", width, height, rgba, error)) << error;
        EXPECT_EQ(width, kWidth);
    }
}

}  // namespace

// True when a temporary of a killed writer is left in dir: the kill landed inside a write.
bool temporaryLeft(const std::string& dir)
{
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().filename().string().find(".tmp") != std::string::npos)
            return true;
    return false;
}

TEST(ReferenceOutput, IsWholeOrAbsentWhenTheTracerIsKilledWhileWriting)
{
    const std::string dir = OrvantaTest::makeTempDir("reference-kill");
    int exitCode = 0;
    int landed = 0;

    // Killed while the PNG's temporary is written: the EXR is in place and whole, the PNG absent.
    // The kill follows the temporary's creation by microseconds; where the write is quicker still
    // (a file system without flushes) it may come after the rename, so a few tries are allowed.
    for (int attempt = 0; attempt < 3 && landed == 0; ++attempt) {
        std::filesystem::remove(dir + "/out.png");
        traceAndKill(dir, 2, exitCode);
        if (temporaryLeft(dir)) {
            ++landed;
            EXPECT_FALSE(std::filesystem::exists(dir + "/out.png"));
            EXPECT_TRUE(std::filesystem::exists(dir + "/out.exr"));
        }
        expectWholeOrAbsent(dir);
    }

    // A run to the end; then runs killed while they write the EXR over it leave both files as
    // they were, and the temporaries of killed runs go with the next write.
    ASSERT_FALSE(traceAndKill(dir, 0, exitCode));
    ASSERT_EQ(exitCode, 0);
    EXPECT_FALSE(temporaryLeft(dir));
    const std::string exr = fileBytes(dir + "/out.exr"), png = fileBytes(dir + "/out.png");
    ASSERT_FALSE(exr.empty());
    ASSERT_FALSE(png.empty());
    for (int attempt = 0; attempt < 3 && landed < 2; ++attempt) {
        traceAndKill(dir, 1, exitCode);
        if (temporaryLeft(dir)) {
            ++landed;
            EXPECT_EQ(fileBytes(dir + "/out.exr"), exr);
            EXPECT_EQ(fileBytes(dir + "/out.png"), png);
        }
        expectWholeOrAbsent(dir);
    }
    RecordProperty("killsInsideAWrite", landed);
}
