#include "platform/Files.h"

namespace platform {

namespace {

// The reasons the system has no words for, in the words of the system's own reasons.
class FileProblemCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "file"; }
    std::string message(int value) const override {
        switch (static_cast<FileProblem>(value)) {
            case FileProblem::NotRegular:
                return "Not a regular file";
            case FileProblem::ChangedWhileRead:
                return "The file changed while it was read";
        }
        return "Unknown problem";
    }
};

}  // namespace

std::error_code MakeError(FileProblem problem) {
    static const FileProblemCategory category;
    return {static_cast<int>(problem), category};
}

}  // namespace platform
