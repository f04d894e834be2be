#include "run/run_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "recording_observer.h"
#include "run/generation_run.h"
#include "temp_folder.h"

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
    EXPECT_EQ(leading_number(std::string_view("1234").substr(0, 3)), 123);  // nothing read past the text
}

TEST(ValidateRunNumbers, FirstFailingTestIsReported) {
    EXPECT_EQ(validate_run_numbers("101", "323").rejection, Rejection::TooManyFrames);
    EXPECT_EQ(validate_run_numbers("0", "5000").rejection, Rejection::TooFewFrames);
    EXPECT_EQ(validate_run_numbers("abc", "323").rejection, Rejection::TooFewFrames);
    EXPECT_EQ(validate_run_numbers("0.9", "323").rejection, Rejection::TooFewFrames);
    EXPECT_EQ(validate_run_numbers("3", "1001").rejection, Rejection::TooLarge);
    EXPECT_EQ(validate_run_numbers("3", "9").rejection, Rejection::TooSmall);
    EXPECT_EQ(validate_run_numbers("3", "").rejection, Rejection::TooSmall);
    // Huge texts are rejected, not wrapped round.
    EXPECT_EQ(validate_run_numbers("99999999999999999999", "323").rejection, Rejection::TooManyFrames);
    EXPECT_EQ(validate_run_numbers("3", "1e30").rejection, Rejection::TooLarge);
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

// The library's own guard: a request outside the ranges fails before any
// file exists (a frame count of 0 used to divide by zero, a reference size of
// 0 made a NaN that was converted to an integer).
TEST(RunRequestProblem, BadRequestsFailBeforeAnyFileExists) {
    test::TempFolder temp;
    RunRequest good;
    good.pattern = *parse_pattern("9999-333");
    good.pattern.reference_size = 10;
    good.frame_count = 1;
    good.picture_size = 10;
    using enum RequestValue;
    const std::pair<RequestProblem, std::function<void(RunRequest&)>> bad[] = {
        {{FrameCount, 0, 1, 100}, [](RunRequest& r) { r.frame_count = 0; }},
        {{FrameCount, 101, 1, 100}, [](RunRequest& r) { r.frame_count = 101; }},
        {{PictureSize, 9, 10, 1000}, [](RunRequest& r) { r.picture_size = 9; }},
        {{PictureSize, 1001, 10, 1000}, [](RunRequest& r) { r.picture_size = 1001; }},
        {{ReferenceSize, 0, 10, 1000}, [](RunRequest& r) { r.pattern.reference_size = 0; }},
        {{ReferenceSize, std::nan(""), 10, 1000}, [](RunRequest& r) { r.pattern.reference_size = std::nan(""); }},
        {{ReferenceSize, 1000.5, 10, 1000}, [](RunRequest& r) { r.pattern.reference_size = 1000.5; }},
        {{PatternDigit, 10, 0, 9}, [](RunRequest& r) { r.pattern.petal_digit = 10; }},
        {{PatternDigit, 255, 0, 9}, [](RunRequest& r) { r.pattern.spin_digit = 255; }},
        {{PalettePower, 4, 0, 3}, [](RunRequest& r) { r.pattern.blue_power = 4; }},
    };
    for (bool compressed : {true, false}) {
        for (const auto& [problem, spoil] : bad) {
            RunRequest r = good;
            r.compressed = compressed;
            r.output_path = temp.path() / "x.gif";
            spoil(r);
            test::RecordingObserver observer;
            const RunResult result = run_generation(r, observer);
            const std::string row = std::to_string(static_cast<int>(problem.value)) + " " + std::to_string(problem.given);
            EXPECT_EQ(result.outcome, RunOutcome::Refused) << row;
            const RequestProblem& got = result.refusal;
            EXPECT_TRUE(got.value == problem.value && got.low == problem.low && got.high == problem.high &&
                        (got.given == problem.given || (std::isnan(got.given) && std::isnan(problem.given))))
                << row;
            EXPECT_TRUE(observer.events.empty()) << row;
            EXPECT_TRUE(temp.names().empty()) << row;
        }
    }
    // The limits themselves are accepted.
    good.output_path = temp.path() / "edge.gif";
    test::RecordingObserver observer;
    EXPECT_EQ(run_generation(good, observer).outcome, RunOutcome::Completed);
}

}  // namespace
}  // namespace vz
