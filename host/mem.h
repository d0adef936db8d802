#pragma once
// Host memory registration: a module announces itself when its library loads and withdraws
// when it unloads. The host keeps nothing but the list of live modules.

class MEM_INITIALIZER
{
public:
    explicit MEM_INITIALIZER(const char* module);
    ~MEM_INITIALIZER();

    MEM_INITIALIZER(const MEM_INITIALIZER&) = delete;
    MEM_INITIALIZER& operator=(const MEM_INITIALIZER&) = delete;

private:
    const char* m_module;
};
