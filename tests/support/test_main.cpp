// Test entry point: a headless QApplication and fresh stand-ins before every test.
#include "host/standin/standin.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
class reset_listener : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override { standin::reset_all(); }
};
} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("LC_ALL", "C.UTF-8", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new reset_listener);
    return RUN_ALL_TESTS();
}
