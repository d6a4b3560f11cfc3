#include "ImportedModel.h"

#include <algorithm>

namespace Orvanta {

void ImportNotes::note(const std::string& text)
{
    if (std::find(texts.begin(), texts.end(), text) == texts.end())
        texts.push_back(text);
}

}  // namespace Orvanta
