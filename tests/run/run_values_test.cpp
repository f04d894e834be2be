#include "run/run_values.h"

#include <gtest/gtest.h>

namespace vz {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
    EXPECT_EQ(leading_number("323"), 323);
    EXPECT_EQ(leading_number("2.9"), 2.9);
    EXPECT_EQ(leading_number("2,9"), 2);
    EXPECT_EQ(leading_number("  1 2 3 px"), 123);
    EXPECT_EQ(leading_number("-4"), -4);
    EXPECT_EQ(leading_number(".5"), 0.5);
    EXPECT_EQ(leading_number("1e3"), 1000);
    EXPECT_EQ(leading_number("12e"), 12);
    EXPECT_EQ(leading_number("abc"), 0);
    EXPECT_EQ(leading_number(""), 0);
    EXPECT_EQ(leading_number("-"), 0);
    EXPECT_EQ(leading_number("."), 0);
}

TEST(ValidateRunNumbers, FirstFailingTestIsReported) {
    EXPECT_EQ(validate_run_numbers("101", "323").rejection, kTooManyFrames);
    EXPECT_EQ(validate_run_numbers("0", "5000").rejection, kTooFewFrames);
    EXPECT_EQ(validate_run_numbers("abc", "323").rejection, kTooFewFrames);
    EXPECT_EQ(validate_run_numbers("0.9", "323").rejection, kTooFewFrames);
    EXPECT_EQ(validate_run_numbers("3", "1001").rejection, kTooLarge);
    EXPECT_EQ(validate_run_numbers("3", "9").rejection, kTooSmall);
    EXPECT_EQ(validate_run_numbers("3", "").rejection, kTooSmall);
    // Huge texts are rejected, not wrapped round.
    EXPECT_EQ(validate_run_numbers("99999999999999999999", "323").rejection, kTooManyFrames);
    EXPECT_EQ(validate_run_numbers("3", "1e30").rejection, kTooLarge);
}

TEST(ValidateRunNumbers, AcceptedValuesAreFloored) {
    const RunNumbers a = validate_run_numbers("2.9", "10");
    EXPECT_TRUE(a.accepted());
    EXPECT_EQ(a.frame_count, 2);
    EXPECT_EQ(a.picture_size, 10);
    const RunNumbers b = validate_run_numbers("100", "1000.7");
    EXPECT_EQ(b.frame_count, 100);
    EXPECT_EQ(b.picture_size, 1000);
}

TEST(LabelTexts, ExactWording) {
    EXPECT_EQ(percent_text(0), "0 %  готово");
    EXPECT_EQ(frame_text(12), "Создаётся картинка  №  12");
}

}  // namespace
}  // namespace vz
