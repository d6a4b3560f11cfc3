#include "renderer/PassTimer.h"

#include "platform/gl/GlExtensions.h"
#include "platform/gl/GlRequirements.h"

namespace Orvanta {

PassTimer::PassTimer()
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    bool hasTimerQueries = glQueryCounter && glGetQueryObjectui64v && glGenQueriesARB;
    if (hasTimerQueries && version) {
        // Timestamp queries are core from 3.3 and otherwise come with GL_ARB_timer_query.
        int major = version[0] - '0';
        int minor = version[1] == '.' ? version[2] - '0' : 0;
        bool core = major > 3 || (major == 3 && minor >= 3);
        gpuQueries = core || hasGlExtension("GL_ARB_timer_query");
    }
}

PassTimer::~PassTimer()
{
    if (!queryPool.empty())
        glDeleteQueriesARB(static_cast<GLsizei>(queryPool.size()), queryPool.data());
}

uint32_t PassTimer::takeQuery()
{
    if (queriesUsed == queryPool.size()) {
        GLuint query = 0;
        glGenQueriesARB(1, &query);
        queryPool.push_back(query);
    }
    return queryPool[queriesUsed++];
}

void PassTimer::beginFrame()
{
    passes.clear();
    queriesUsed = 0;
    openPass = -1;
}

void PassTimer::begin(const char* pass, bool cpuWork)
{
    Open open;
    open.pass = pass;
    open.cpuWork = cpuWork;
    if (gpuQueries) {
        open.startQuery = takeQuery();
        glQueryCounter(open.startQuery, GL_TIMESTAMP);
    } else {
        glFinish();
    }
    open.cpuStart = std::chrono::steady_clock::now();
    passes.push_back(open);
    openPass = static_cast<int>(passes.size()) - 1;
}

void PassTimer::end()
{
    if (openPass < 0)
        return;
    Open& open = passes[static_cast<size_t>(openPass)];
    if (gpuQueries) {
        open.endQuery = takeQuery();
        glQueryCounter(open.endQuery, GL_TIMESTAMP);
    } else {
        glFinish();
    }
    open.cpuEnd = std::chrono::steady_clock::now();
    openPass = -1;
}

std::vector<PassTimer::Sample> PassTimer::endFrame()
{
    std::vector<Sample> samples;
    if (passes.empty())
        return samples;
    GLuint64 frameStart = 0, frameEnd = 0;
    for (size_t i = 0; i < passes.size(); ++i) {
        const Open& open = passes[i];
        Sample sample{open.pass, 0.0};
        if (gpuQueries) {
            GLuint64 start = 0, end = 0;
            glGetQueryObjectui64v(open.startQuery, GL_QUERY_RESULT, &start);
            glGetQueryObjectui64v(open.endQuery, GL_QUERY_RESULT, &end);
            sample.milliseconds = static_cast<double>(end - start) * 1e-6;
            if (i == 0)
                frameStart = start;
            frameEnd = end;
        }
        if (!gpuQueries || open.cpuWork) {
            sample.milliseconds = std::chrono::duration<double, std::milli>(open.cpuEnd - open.cpuStart).count();
        }
        samples.push_back(sample);
    }
    double total =
        gpuQueries ? static_cast<double>(frameEnd - frameStart) * 1e-6
                   : std::chrono::duration<double, std::milli>(passes.back().cpuEnd - passes.front().cpuStart).count();
    samples.push_back({"frame", total});
    return samples;
}

}  // namespace Orvanta
