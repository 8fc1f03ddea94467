#include <gtest/gtest.h>

#include <string>

#include "common/unique_fd.hpp"
#include "request.hpp"
#include "support/memory_file.hpp"

namespace deskplay::burrowd {
namespace {

Result<Request> decode(const std::string& line) {
  const bool terminated = !line.empty() && line.back() == '\n';
  UniqueFd fd(testing::memoryFile(terminated ? line : line + "\n"));
  LineReader reader(fd.get());
  EXPECT_TRUE(reader.beginLine());
  Result<Request> request = decodeRequest(reader);
  EXPECT_FALSE(reader.beginLine()) << "the decoder must consume its whole line";
  return request;
}

TEST(RequestDecoder, DecodesEveryField) {
  Result<Request> request = decode(
      R"({"action":"move","from":{"side":"desktop","name":"a b"},"to":{"side":"stash","name":"c"},)"
      R"("identity":{"dev":"1","ino":"2","birth":"3:4"},"endpoint":{"side":"s","name":"n"},"text":"t"})");
  ASSERT_TRUE(request.ok()) << request.message();
  const Request& r = request.value();
  EXPECT_EQ(r.action, "move");
  ASSERT_TRUE(r.from && r.to && r.endpoint && r.identity && r.text);
  EXPECT_EQ(r.from->side, "desktop");
  EXPECT_EQ(r.from->name, "a b");
  EXPECT_EQ(r.to->name, "c");
  EXPECT_EQ(r.endpoint->side, "s");
  EXPECT_EQ(*r.identity, (IdentityMap{{"dev", "1"}, {"ino", "2"}, {"birth", "3:4"}}));
  EXPECT_EQ(*r.text, "t");
}

TEST(RequestDecoder, OptionalKeysMayBeAbsentOrNull) {
  for (const std::string line :
       {R"({"action":"read"})",
        R"({"action":"read","endpoint":null,"from":null,"to":null,"identity":null,"text":null})"}) {
    Result<Request> request = decode(line);
    ASSERT_TRUE(request.ok()) << line << ": " << request.message();
    const Request& r = request.value();
    EXPECT_FALSE(r.endpoint || r.from || r.to || r.identity || r.text) << line;
  }
}

TEST(RequestDecoder, IgnoresUnknownKeysOfAnyShape) {
  Result<Request> request =
      decode(R"({"extra":[1,{"a":[{}]},"x"],"action":"list","endpoint":{"side":"stash","name":"x",)"
             R"("more":{"deep":[null]}},"n":1.5,"b":true})");
  ASSERT_TRUE(request.ok()) << request.message();
  EXPECT_EQ(request.value().endpoint->side, "stash");
}

TEST(RequestDecoder, KeepsEscapedAndNonAsciiTextExactly) {
  Result<Request> request =
      decode(R"({"action":"write","text":"line\n\"q\" \/ caf\u00e9 \ud83c\udfae"})");
  ASSERT_TRUE(request.ok()) << request.message();
  EXPECT_EQ(*request.value().text, "line\n\"q\" / caf\xC3\xA9 \xF0\x9F\x8E\xAE");
}

TEST(RequestDecoder, AcceptsACarriageReturnBeforeTheLineFeed) {
  EXPECT_TRUE(decode("{\"action\":\"read\"}\r\n").ok());
}

TEST(RequestDecoder, AnEmptyIdentityIsStillAnIdentity) {
  Result<Request> request = decode(R"({"action":"move","identity":{}})");
  ASSERT_TRUE(request.ok());
  ASSERT_TRUE(request.value().identity.has_value());
  EXPECT_TRUE(request.value().identity->empty());
}

struct Rejected {
  std::string line;
  const char* errorContains;
};

void PrintTo(const Rejected& rejected, std::ostream* out) {
  *out << "line \"" << rejected.line << "\"";
}

class RequestDecoderRejects : public ::testing::TestWithParam<Rejected> {};

TEST_P(RequestDecoderRejects, WithADescriptionOfTheProblem) {
  Result<Request> request = decode(GetParam().line);
  ASSERT_FALSE(request.ok()) << GetParam().line;
  EXPECT_NE(request.message().find(GetParam().errorContains), std::string::npos)
      << GetParam().line << " gave: " << request.message();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RequestDecoderRejects,
    ::testing::Values(
        Rejected{"", "not valid JSON"}, Rejected{"   \r", "not valid JSON"},
        Rejected{"not json", "not valid JSON"}, Rejected{"{\"action\":\"read\"", "not valid JSON"},
        Rejected{"{\"action\":\"read\"} {}", "not valid JSON"},
        Rejected{"{\"action\":\"read\",}", "not valid JSON"}, Rejected{"[]", "not a JSON object"},
        Rejected{"\"read\"", "not a JSON object"}, Rejected{"42", "not a JSON object"},
        Rejected{"null", "not a JSON object"}, Rejected{"{}", "missing the key \"action\""},
        Rejected{"{\"action\":null}", "\"action\" has the wrong type"},
        Rejected{"{\"action\":7}", "\"action\" has the wrong type"},
        Rejected{"{\"action\":[\"read\"]}", "\"action\" has the wrong type"},
        Rejected{"{\"action\":\"list\",\"endpoint\":{\"side\":\"stash\"}}",
                 "\"endpoint\" is missing \"name\""},
        Rejected{"{\"action\":\"list\",\"endpoint\":{\"name\":\"x\"}}",
                 "\"endpoint\" is missing \"side\""},
        Rejected{"{\"action\":\"list\",\"endpoint\":\"stash\"}", "\"endpoint\" has the wrong type"},
        Rejected{"{\"action\":\"move\",\"from\":{\"side\":1,\"name\":\"x\"}}",
                 "\"from.side\" has the wrong type"},
        Rejected{"{\"action\":\"move\",\"to\":{\"side\":\"stash\",\"name\":null}}",
                 "\"to.name\" has the wrong type"},
        Rejected{"{\"action\":\"move\",\"identity\":{\"dev\":1}}",
                 "\"identity.dev\" has the wrong type"},
        Rejected{"{\"action\":\"move\",\"identity\":{\"dev\":{}}}",
                 "\"identity.dev\" has the wrong type"},
        Rejected{"{\"action\":\"move\",\"identity\":[\"1\"]}", "\"identity\" has the wrong type"},
        Rejected{"{\"action\":\"write\",\"text\":5}", "\"text\" has the wrong type"},
        Rejected{"{\"action\":\"read\",\"text\":\"\xFF\"}", "not valid JSON"},
        Rejected{std::string("{\"action\":\"read\"}\0{", 19), "not valid JSON"},
        Rejected{std::string("{\"action\":\"re\0ad\"}", 19), "not valid JSON"},
        Rejected{"{\"action\":\"read\",\"x\":01}", "not valid JSON"},
        Rejected{"{\"action\":\"read\",\"x\":[1,]}", "not valid JSON"},
        Rejected{"{\"action\":\"read\",\"x\":{\"a\" 1}}", "not valid JSON"},
        Rejected{"{\"action\":\"read\",\"x\":\"\\q\"}", "not valid JSON"},
        Rejected{"{\"action\":\"read\",\"x\":\"\\udc00\"}", "not valid JSON"},
        Rejected{"{\"action\":\"read\",\"x\":tru}", "not valid JSON"},
        Rejected{"{\"action\":\"read\",\"x\":1.}", "not valid JSON"},
        Rejected{"{\"action\":\"read\",\"x\":1e}", "not valid JSON"},
        Rejected{"{\"action\":7,\"x\":[}", "not valid JSON"},
        Rejected{"{\"action\":\"read\",\"text\":\"\\ud800\"}", "not valid JSON"},
        // A decoder that reads the whole document first fails on a number no double holds,
        // wherever it stands.
        Rejected{R"({"action":"read","x":1e400})", "number out of range at byte 22"},
        Rejected{R"({"x":[{"y":-1e400}],"action":"read"})", "number out of range at byte 12"},
        Rejected{R"({"action":1e400})", "number out of range"},
        Rejected{R"({"action":"move","identity":{"dev":1E+309}})", "number out of range"},
        Rejected{"{\"action\":\"read\",\"x\":1" + std::string(309, '0') + "}",
                 "number out of range"},
        Rejected{"{\"action\":\"read\",\"x\":0." + std::string(30, '0') + "1e340}",
                 "number out of range"},
        Rejected{R"({"action":"read","x":1.7976931348623159e308})", "number out of range"},
        Rejected{
            R"({"action":"read","x":179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017977587207096330286416692887910946555547851940402630657488671505820681908902000708383676273854845817711531764475730270069855571366959622842914819860834936475292719074168444365510704342711559699508093042880177904174497792})",
            "number out of range"},
        Rejected{"1e400", "number out of range"}));

TEST(RequestDecoder, NumbersADoubleHoldsAreIgnoredLikeAnyOtherValue) {
  for (const std::string number :
       {"1.7976931348623157e308", "-1.7976931348623157e308", "1e-400", "-0", "0e99999999999999",
        "0.000e400", "100e306", "10000000000000000000e289", "0.00001e312",
        // The largest number that still rounds to the largest double.
        "179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017"
        "977587207096330286416692887910946555547851940402630657488671505820681908902000708383676273"
        "854845817711531764475730270069855571366959622842914819860834936475292719074168444365510704"
        "342711559699508093042880177904174497791.999"}) {
    Result<Request> request = decode(R"({"action":"read","x":)" + number + "}");
    EXPECT_TRUE(request.ok()) << number << ": " << request.message();
  }
}

}  // namespace
}  // namespace deskplay::burrowd
