// The text search.
#include "text_find.h"

#include "platform/ansi_text.h"

#include <algorithm>

namespace plandra {

namespace {

bool EqualsUpperCased(std::string_view text, std::string_view upperCased) {
    return text.size() == upperCased.size() &&
           std::equal(text.begin(), text.end(), upperCased.begin(),
                      [](char a, char b) { return platform::UpperAnsi(a) == b; });
}

// Stores the record's text without its leading blanks; the field pads the rest.
void StoreTrimmed(FixedString<100>& text) {
    const std::string_view all = text.View();
    if (all.front() != ' ') {
        return;
    }
    const std::string trimmed(text.Trimmed());
    text.Assign(trimmed);
}

} // namespace

Long FindText(DrawingDatabase& database, std::string& textToFind, Integer layerId,
              FindMemory& memory) {
    // Every record would be trimmed to compare it with nothing: an empty search text
    // matches no text, and the walk is not disturbed.
    if (textToFind.empty()) {
        return 0;
    }
    if (layerId != memory.LastFindLayer) {
        memory.LastFindIndex = 0;
        memory.LastFindLayer = layerId;
    }
    textToFind = platform::UpperAnsi(textToFind);
    const Long count = database.TextCount;
    Long found = 0;
    Long i = std::max<Long>(memory.LastFindIndex, 0) + 1;
    for (; i <= count; ++i) {
        TextRec& record = database.Texts[i];
        StoreTrimmed(record.Text);
        if (EqualsUpperCased(record.Text.Trimmed(), textToFind) &&
            (layerId == 0 || record.LayerID == layerId)) {
            found = i;
            break;
        }
    }
    memory.LastFindIndex = found;
    if (found == 0 || found >= count) {
        memory.LastFindIndex = 0;
    }
    return found;
}

} // namespace plandra
