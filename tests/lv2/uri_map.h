// A host's URID map for the LV2 tests: numbers from 1 up, in the order asked.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <string>
#include <vector>

class uri_map {
public:
    uri_map() = default;
    uri_map(const uri_map&) = delete;
    uri_map& operator=(const uri_map&) = delete;

    LV2_URID operator()(const char* uri) { return map_.map(map_.handle, uri); }
    LV2_URID_Map* map() { return &map_; }
    const LV2_Feature* feature() const { return &feature_; }

private:
    static LV2_URID map_uri(LV2_URID_Map_Handle handle, const char* uri) {
        auto& uris = *static_cast<std::vector<std::string>*>(handle);
        for (std::size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }

    std::vector<std::string> uris_;
    LV2_URID_Map map_{&uris_, map_uri};
    LV2_Feature feature_{LV2_URID__map, &map_};
};
