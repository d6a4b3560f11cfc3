#include "platform/Input.h"

#include <chrono>

namespace Orvanta {
namespace {

class HeadlessInput final : public InputSource {
public:
    bool queryKey(Key) override { return false; }
    void cursorPosition(int& x, int& y) override
    {
        x = cursorX;
        y = cursorY;
    }
    void setCursorPosition(int x, int y) override
    {
        cursorX = x;
        cursorY = y;
    }
    void showCursor(bool) override {}
    uint32_t ticks() override
    {
        using namespace std::chrono;
        auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        return static_cast<uint32_t>(ms);
    }
    bool pumpMessages() override { return true; }

private:
    int cursorX = 0;
    int cursorY = 0;
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
