// How our objects answer through the C tables of vst3_abi.h: each interface
// a host holds points at a slot whose first word is the table, as the host
// reads it, and whose second is the object behind it.
#pragma once

#include <cstring>

#include "vst3/vst3_abi.h"

namespace vst3 {

struct interface_slot {
    const void* vtbl;
    void* owner;
};

template <class Owner>
Owner& owner_of(void* self) {
    return *static_cast<Owner*>(static_cast<interface_slot*>(self)->owner);
}

inline bool is_id(const char* asked, const uid_words& id) {
    return asked && std::memcmp(asked, id_bytes(id).data(), 16) == 0;
}

}  // namespace vst3
