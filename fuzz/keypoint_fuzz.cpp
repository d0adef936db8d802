// Fuzz target of the keypoint file reader: any byte string is written as a keypoint file and
// loaded; a refusal must say why, and an accepted file is composed with itself (its renames
// applied to its own machines) and walked through its state tables.
#include "host/kpt.h"
#include "host/standin/kpt_control.h"
#include "host/standin/standin.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path =
        QStringLiteral("%1/fuzz_keypoint_%2.kpt").arg(QDir::tempPath()).arg(getpid()).toStdString();
    {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            return 0;
    }
    KPT_KEYPOINTS_MANAGER* manager = KPT_KEYPOINTS_MANAGER::get_instance();
    KPT_KEYPOINTS_DB* first = manager->load_keypoints_db(path, "first");
    if (first == nullptr) {
        if (standin::kpt::last_error().empty())
            abort(); // a refusal always says why
        standin::reset_all();
        return 0;
    }
    KPT_KEYPOINTS_DB* second = manager->load_keypoints_db(path, "second");
    if (second == nullptr)
        abort(); // the same file reads the same way twice
    first->compose_on_transformed(second, "composed");
    second->compose_on_transformed(first, "again");
    KPT_TRANSFORMATION_SET_REGISTER_ITERATOR it(first->get_transformation_set(), 0x200);
    for (it.first(); !it.done(); it.next()) {
        const KPT_STATE_TABLE* table = it.item()->get_state_table();
        for (int s = 0; s <= 3; ++s)
            for (int k = 0; k <= 3; ++k)
                table->get_transformed_entry(s, k);
        table->get_state_name(1);
    }
    standin::reset_all(); // the databases and the call log
    return 0;
}
