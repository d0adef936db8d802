// Design-partition stand-in: the incremental compilation mode of the project.
#include "host/idu.h"

#include "host/standin/idu_control.h"
#include "host/standin/standin.h"

namespace
{
struct idu_state
{
    bool manager_present = true;
    bool info_present = true;
    int mode = 0;
};

idu_state& state()
{
    static idu_state s;
    return s;
}

void reset()
{
    state() = idu_state();
}

const standin::reset_registrar registrar(&reset);
} // namespace

int IDU_PROJECT_INFO::get_effective_incremental_compilation_mode()
{
    return state().mode;
}

IDU_PARTITION_MANAGER* IDU_PARTITION_MANAGER::get_instance()
{
    static IDU_PARTITION_MANAGER manager;
    return state().manager_present ? &manager : nullptr;
}

IDU_PROJECT_INFO* IDU_PARTITION_MANAGER::get_project_info()
{
    static IDU_PROJECT_INFO info;
    return state().info_present ? &info : nullptr;
}

namespace standin::idu
{
void set_manager_present(bool present)
{
    state().manager_present = present;
}

void set_project_info_present(bool present)
{
    state().info_present = present;
}

void set_incremental_compilation_mode(int mode)
{
    state().mode = mode;
}
} // namespace standin::idu
