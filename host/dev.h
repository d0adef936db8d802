#pragma once
// Host device data: device families by name and their traits, and the resources of device parts.

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

// A device part (the host accepts any int). DEV_PART_GENERIC stands for a part name the host
// does not know.
enum DEV_PART_ENUM : int
{
    DEV_PART_GENERIC = 0
};

// Resource kind of a part: hard processor system (HPS) blocks.
constexpr int DEV_RESOURCE_HPS = 32;

class DEV_PART_MANAGER
{
public:
    static DEV_PART_MANAGER* get_instance();

    // How many resources of `kind` the part has; 0 for an unknown part or kind.
    int get_device_resource_count_of(DEV_PART_ENUM part, int kind);
};
