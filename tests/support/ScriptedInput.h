#pragma once
#include "platform/Input.h"

#include <array>

namespace Orvanta {

// An input source driven by code: tests press keys, move the cursor
// and set the tick counter explicitly. It follows the same latch rule as the window's source.
class ScriptedInput final : public StoredCursorInput {
public:
    void setKeyDown(Key key, bool down);
    // A press and release between two queries: the next query sees it once.
    void tapKey(Key key);
    void setTicks(uint32_t value) { tickValue = value; }
    void advanceTicks(uint32_t ms) { tickValue += ms; }
    bool cursorVisible() const { return visible; }
    void requestClose() { closeRequested = true; }
    int queryCount(Key key) const { return queries[static_cast<int>(key)]; }

    bool queryKey(Key key) override;
    void showCursor(bool show) override { visible = show; }
    uint32_t ticks() override { return tickValue; }
    bool pumpMessages() override { return !closeRequested; }

private:
    static constexpr int keyCount = static_cast<int>(Key::Count);
    std::array<bool, keyCount> down{};
    std::array<bool, keyCount> latched{};
    std::array<int, keyCount> queries{};
    bool visible = true;
    bool closeRequested = false;
    uint32_t tickValue = 0;
};

}  // namespace Orvanta
