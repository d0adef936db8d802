#pragma once
// Host device data: device families by name and their traits.

// A device family (the host accepts any int; 0 is "unknown").
enum DEV_FAMILY_ENUM : int
{
    DEV_FAMILY_UNKNOWN = 0
};

// Trait of a family that supports the embedded logic analyzer.
constexpr int DEV_TRAIT_VANTREL_SUPPORTED = 22;

class DEV_FAMILY_MANAGER
{
public:
    static DEV_FAMILY_MANAGER* get_instance();

    // Family names compare without case.
    bool exists_family_enum_by_string(const char* name);
    // DEV_FAMILY_UNKNOWN for an unknown name.
    DEV_FAMILY_ENUM get_family_enum_by_string(const char* name);
    bool test_trait_of(DEV_FAMILY_ENUM family, int trait);
};
