// Which request bodies are split so that their packets are read from their own bytes.
#include "appserver/rpc/RequestScanner.h"

#include <gtest/gtest.h>

using namespace pla;

namespace {

TEST(RequestScannerTest, SplitsOnlyOneObjectWithOneParamsListHoldingObjects) {
    const QByteArray packet = R"({"fields":["A"],"rows":[["}]\""]]})";
    const QByteArray body =
        R"( {"id":1, "params" : [7, )" + packet + R"(, [{"x":1}], {}], "m":"{"} )";
    const std::optional<RequestScanner::Split> split = RequestScanner::split(body);
    ASSERT_TRUE(split);
    ASSERT_EQ(split->objects.size(), 2u);
    EXPECT_EQ(split->objects[0].first, 1);
    EXPECT_EQ(split->objects[0].second, QByteArrayView(packet));
    EXPECT_EQ(split->objects[1].first, 3);
    EXPECT_EQ(split->envelope, R"( {"id":1, "params" : [7, {}, [{"x":1}], {}], "m":"{"} )");

    // Read whole instead: the split could be taken for another reading of the body.
    for (const QByteArray& whole : {
             QByteArray(R"([{"params":[{}]}])"),                 // a batch
             QByteArray(R"({"params":[{}],"params":[{}]})"),     // params twice
             QByteArray(R"({"par\u0061ms":[1],"params":[{}]})"), // a key with an escape
             QByteArray(R"({"params":[{}]} x)"),                 // something after the end
             QByteArray(R"({"params":[{"a":"]}]})"),             // unterminated
             QByteArray(R"({"params":[1,"{}"]})"),               // no object among them
         })
        EXPECT_FALSE(RequestScanner::split(whole)) << whole.constData();
}

} // namespace
