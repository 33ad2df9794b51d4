// A fixed number of 32-bit flags, all clear after construction.
#pragma once

#include <cstdint>

class FlagArray {
public:
    // When the storage cannot be allocated the array holds no flags (count 0).
    explicit FlagArray(uint32_t count);
    virtual ~FlagArray();

    FlagArray(const FlagArray&) = delete;
    FlagArray& operator=(const FlagArray&) = delete;

    void Set(uint32_t index, int32_t value);
    int32_t Get(uint32_t index) const;
    void OrIn(const FlagArray& other);
    void Clear();

    uint32_t count;
    int32_t* flags;
};
