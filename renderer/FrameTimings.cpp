#include "renderer/FrameTimings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Orvanta {

namespace {

// The name PassTimer gives the whole frame's sample.
const char* const kFrameSample = "frame";

FrameTimings::Statistics statisticsOf(const std::string& pass, std::vector<double> values)
{
    FrameTimings::Statistics s;
    s.pass = pass;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    double sum = 0.0;
    for (double v : values)
        sum += v;
    const size_t n = values.size();
    s.mean = sum / double(n);
    s.median = n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
    const size_t rank = static_cast<size_t>(std::ceil(0.95 * double(n)));
    s.percentile95 = values[std::max<size_t>(rank, 1) - 1];
    return s;
}

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\n\r") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string number(double value, const char* format)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

void FrameTimings::addFrame(double pathSeconds, const std::vector<PassTimer::Sample>& samples)
{
    std::vector<double> row(passes.size(), 0.0);
    double total = 0.0;
    for (const PassTimer::Sample& sample : samples) {
        if (sample.pass == kFrameSample) {
            total = sample.milliseconds;
            continue;
        }
        const auto found = std::find(passes.begin(), passes.end(), sample.pass);
        const size_t index = static_cast<size_t>(found - passes.begin());
        if (found == passes.end()) {
            passes.push_back(sample.pass);
            row.push_back(0.0);
        }
        row[index] += sample.milliseconds;
    }
    pathTimes.push_back(pathSeconds);
    passTimes.push_back(std::move(row));
    frameTotals.push_back(total);
}

std::vector<FrameTimings::Statistics> FrameTimings::statistics() const
{
    std::vector<Statistics> result;
    for (size_t p = 0; p < passes.size(); ++p) {
        std::vector<double> values;
        for (const std::vector<double>& row : passTimes)
            values.push_back(p < row.size() ? row[p] : 0.0);
        result.push_back(statisticsOf(passes[p], values));
    }
    result.push_back(statisticsOf(kFrameSample, frameTotals));
    return result;
}

std::string FrameTimings::summaryTable() const
{
    char line[160];
    std::snprintf(line, sizeof line, "%-36s %10s %10s %10s\n", "pass (ms)", "mean", "median", "95th %");
    std::string table = line;
    for (const Statistics& s : statistics()) {
        std::snprintf(line, sizeof line, "%-36s %10.2f %10.2f %10.2f\n", s.pass.c_str(), s.mean, s.median,
                      s.percentile95);
        table += line;
    }
    return table;
}

std::string FrameTimings::csv() const
{
    std::string text = "frame,path seconds";
    for (const std::string& pass : passes)
        text += "," + csvField(pass);
    text += ",frame total\n";
    for (size_t f = 0; f < frameTotals.size(); ++f) {
        text += std::to_string(f + 1) + "," + number(pathTimes[f], "%.4f");
        for (size_t p = 0; p < passes.size(); ++p)
            text += "," + number(p < passTimes[f].size() ? passTimes[f][p] : 0.0, "%.4f");
        text += "," + number(frameTotals[f], "%.4f") + "\n";
    }
    return text;
}

}  // namespace Orvanta
