#pragma once

#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QNetworkAccessManager>
#include <gtest/gtest.h>

namespace orvella::test {

// A GoogleTest fixture with a started double and a network manager of its own.
class ServiceDoubleTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(service.start()); }

    ServiceDouble service;
    QNetworkAccessManager network;
};

} // namespace orvella::test
