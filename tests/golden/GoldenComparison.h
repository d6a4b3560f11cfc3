#pragma once
// A rendered picture against the golden picture kept in the repository for its view.
#include <string>

namespace OrvantaTest {

// The result of one comparison: whether the view passes, and a message that says what differs
// (the metrics against their limits) and names the pictures written for a look at the failure.
struct GoldenVerdict {
    bool passed = false;
    std::string message;
};

// Compares `rendered` with `golden` by SSIM and by the share of pixels off by more than
// kDefaultLevelsOff levels. When they differ too much, or the golden picture is missing or of
// another size, writes the golden picture and the error heat map into `folder` (beside the
// rendered one) as golden.png and error-map.png.
GoldenVerdict compareWithGolden(const std::string& rendered, const std::string& golden, const std::string& folder);

// Replaces the golden picture with the rendered one (atomically). Returns false with `error` set
// when it cannot; `changed` says whether the bytes differ from the golden picture's before.
bool replaceGolden(const std::string& rendered, const std::string& golden, bool& changed, std::string& error);

}  // namespace OrvantaTest
