#include <gtest/gtest.h>

#include <QCoreApplication>

#include "test_env.h"

int main(int argc, char** argv) {
  testenv::Isolate();
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
