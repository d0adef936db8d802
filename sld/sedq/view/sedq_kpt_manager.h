#pragma once
// Reader of the post-fitting state machines: the keypoint databases of the project's current
// revision, the synthesis map ("<rev>.map.kpt") composed with the renames of the fit
// ("<rev>.cmp.kpt"). Both are loaded by name in the constructor and destroyed by name in the
// destructor; the host keeps one database per name, so only one reader can hold them at a time.
// Names come back with "|" between hierarchy levels where the files have "/". Without the map
// database the reader is not loaded and answers empty lists.

#include "sedq/view/sedq_base_manager.h"

#include <functional>

class KPT_KEYPOINTS_DB;
class KPT_KEYPOINTS_MANAGER;
class KPT_REGISTER_TRANSFORMATION;

class SEDQ_KPT_MANAGER : public SEDQ_BASE_MANAGER
{
public:
    // The names the two databases are held under while a reader lives.
    static constexpr const char* MAP_DATABASE_NAME = "my_vantrel_db";
    static constexpr const char* COMPILE_DATABASE_NAME = "my_vantrel_compile_db";

    SEDQ_KPT_MANAGER();
    ~SEDQ_KPT_MANAGER() override;

    // Every state machine of the map database, in its order, duplicates included.
    void get_state_machine_list(QStringList* list) override;
    // The state registers of the first machine of that name, register 1 first.
    void get_node_list(const QString& state_machine, QStringList* nodes) override;
    // The states of every machine of that name; a pattern holds register r first and skips
    // registers whose entry is neither 0 nor 1.
    void get_mnemonic_list(const QString& state_machine, QStringList* names, QStringList* values) override;
    void dump() override;
    bool is_database_loaded() override;

private:
    static QString bar_name(const char* name);
    static QString state_value(KPT_REGISTER_TRANSFORMATION* machine, int state);
    // Calls `visit` for each register transformation of the map database in order until it
    // returns false.
    void for_each_machine(const std::function<bool(KPT_REGISTER_TRANSFORMATION*)>& visit);
    void destroy(KPT_KEYPOINTS_DB* database);
    QString dump_machine(KPT_REGISTER_TRANSFORMATION* machine);

    KPT_KEYPOINTS_MANAGER* m_kpt_keypoints_manager = nullptr;
    KPT_KEYPOINTS_DB* m_map_database = nullptr;
    KPT_KEYPOINTS_DB* m_compile_database = nullptr;
};
