#include "platform/Input.h"

#include <chrono>

namespace Orvanta {
namespace {

class HeadlessInput final : public StoredCursorInput {
public:
    bool queryKey(Key) override { return false; }
    void showCursor(bool) override {}
    uint32_t ticks() override
    {
        using namespace std::chrono;
        auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        return static_cast<uint32_t>(ms);
    }
    bool pumpMessages() override { return true; }
};

HeadlessInput& headlessInput()
{
    static HeadlessInput input;
    return input;
}

InputSource* activeInput = nullptr;

}  // namespace

InputSource& platformInput()
{
    return activeInput ? *activeInput : headlessInput();
}

void setPlatformInput(InputSource* source)
{
    activeInput = source;
}

}  // namespace Orvanta
