#include "platform/System.h"

namespace platform {

namespace {

class DriveProblemCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "drive"; }
    std::string message(int value) const override {
        switch (static_cast<DriveProblem>(value)) {
            case DriveProblem::Busy:
                return "The drive is busy with another measurement";
        }
        return "Unknown problem";
    }
};

}  // namespace

std::error_code MakeError(DriveProblem problem) {
    static const DriveProblemCategory category;
    return {static_cast<int>(problem), category};
}

}  // namespace platform
