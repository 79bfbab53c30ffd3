#include <gtest/gtest.h>

#include <QApplication>

#include "test_env.h"

int main(int argc, char** argv) {
  testenv::Isolate();
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
