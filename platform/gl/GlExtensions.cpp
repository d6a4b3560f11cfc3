#include "platform/gl/GlExtensions.h"

#include "platform/GlProcAddress.h"
#include "platform/Log.h"

namespace Orvanta {

#define ORVANTA_GL_ENTRY(type, name) type name = nullptr;
#define ORVANTA_WGL_ENTRY(name) WglEntryPoint name = nullptr;
#include "platform/gl/GlEntryPoints.inl"
#undef ORVANTA_GL_ENTRY
#undef ORVANTA_WGL_ENTRY

namespace {

struct EntryPoint {
    const char* name;
    void** slot;
    bool windowsOnly;
};

const std::vector<EntryPoint>& table()
{
    static const std::vector<EntryPoint> entries = {
#define ORVANTA_GL_ENTRY(type, name) {#name, reinterpret_cast<void**>(&name), false},
#define ORVANTA_WGL_ENTRY(name) {#name, reinterpret_cast<void**>(&name), true},
#include "platform/gl/GlEntryPoints.inl"
#undef ORVANTA_GL_ENTRY
#undef ORVANTA_WGL_ENTRY
    };
    return entries;
}

}  // namespace

void loadExtensions()
{
    for (const EntryPoint& entry : table())
        *entry.slot = entry.windowsOnly ? nullptr : glProcAddress(entry.name);

    std::vector<std::string> missing = unresolvedEntryPoints();
    if (missing.empty())
        return;
    std::string message = "OpenGL entry points not offered by the driver:";
    for (const std::string& name : missing)
        message += " " + name;
    message += " (the WGL entries";
    for (const std::string& name : windowsOnlyEntryPoints())
        message += " " + name;
    message += " exist only on Windows and have no counterpart here)";
    logError(message);
}

std::vector<std::string> unresolvedEntryPoints()
{
    std::vector<std::string> names;
    for (const EntryPoint& entry : table())
        if (!entry.windowsOnly && *entry.slot == nullptr)
            names.push_back(entry.name);
    return names;
}

std::vector<std::string> windowsOnlyEntryPoints()
{
    std::vector<std::string> names;
    for (const EntryPoint& entry : table())
        if (entry.windowsOnly)
            names.push_back(entry.name);
    return names;
}

int entryPointCount()
{
    return static_cast<int>(table().size());
}

void* entryPointValue(const std::string& name)
{
    for (const EntryPoint& entry : table())
        if (name == entry.name)
            return *entry.slot;
    return nullptr;
}

}  // namespace Orvanta
