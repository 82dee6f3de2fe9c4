// Finding layers by name and asking them how to draw.
#include "layer_lookup.h"

#include "control_error.h"
#include "platform/ansi_text.h"

namespace plandra {

namespace {

constexpr Long Black = 0x000000;
constexpr Long White = 0xFFFFFF;

bool LayerMatches(const DXFLayers& layers, Long position, std::string_view wanted) {
    return platform::EqualsIgnoringCase(platform::TrimBlanks(layers.Item(position)->LayerName),
                                        wanted);
}

} // namespace

Integer SetLayerID(DrawingDatabase& database, std::string_view LayerName) {
    DXFLayers& layers = database.Layers();
    // Each name is looked up once per load. The cache is dropped whenever a load
    // starts (the host may have renamed or removed layers before it), and during a
    // load layers are only appended, so a remembered position stays the first match.
    LayerLookupCache& cache = database.LayerPositions;
    if (Integer cached = cache.Find(LayerName); cached != 0 && cached <= layers.Count()) {
        return cached;
    }
    for (Long i = 1; i <= layers.Count(); ++i) {
        if (LayerMatches(layers, i, LayerName)) {
            cache.Remember(LayerName, static_cast<Integer>(i));
            return static_cast<Integer>(i);
        }
    }
    if (layers.Count() >= 32767) {
        ControlError error = ControlError::Runtime(RuntimeError::Overflow);
        error.AppendTrail("SetLayerID");
        throw error;
    }
    layers.Add(IntegerTrue, Black, std::string(LayerName), IntegerFalse, false);
    cache.Remember(LayerName, static_cast<Integer>(layers.Count()));
    return static_cast<Integer>(layers.Count());
}

bool LayerIsOn(const DrawingDatabase& database, Long LayerID) {
    if (!database.colLayers) {
        throw ControlError::Runtime(RuntimeError::InvalidArgument);
    }
    return database.colLayers->Item(LayerID)->LayerOn != IntegerFalse;
}

Long LayerDrawColor(const DrawingDatabase& database, const DrawingOptions& options, Long LayerID,
                    Long EntityColor) {
    if (!database.colLayers) {
        return EntityColor;
    }
    if (options.PrintAllBlack) {
        return Black;
    }
    Long color = database.colLayers->Item(LayerID)->LayerColor;
    if (color == Black && options.BackColor == Black) {
        return White;
    }
    if (color == White && options.BackColor == White) {
        return Black;
    }
    return color;
}

} // namespace plandra
