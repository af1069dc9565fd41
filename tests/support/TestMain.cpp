#include <QCoreApplication>

#include <gtest/gtest.h>

// Every test runs with an application object, as the program does, so that
// timers and other event-loop objects can be made.
int main(int argc, char* argv[])
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
