#pragma once
// Host design partitions: the project's incremental compilation mode.

class IDU_PARTITION;

class IDU_PROJECT_INFO
{
public:
    // 2 when incremental compilation is on.
    int get_effective_incremental_compilation_mode();
};

class IDU_PARTITION_MANAGER
{
public:
    // Null when the host runs without partitions.
    static IDU_PARTITION_MANAGER* get_instance();
    // Null without an open project.
    IDU_PROJECT_INFO* get_project_info();
};
