// The view tests run inside one QApplication (offscreen, as CTest sets
// QT_QPA_PLATFORM) with the program's own look, so sizes match the program's.
#include "StageLook.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    kelvane::views::applyStageLook(app);
    return RUN_ALL_TESTS();
}
