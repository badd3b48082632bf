#include "camera_manager/core/records/StoreMessages.h"

#include "camera_manager/res/StringIds.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/WideText.h"

#include <cerrno>
#include <initializer_list>

namespace {

// The text with each "%s" or "%d" replaced by the next argument, in order.
std::u16string fill(const std::u16string& format, std::initializer_list<std::u16string> arguments) {
    std::u16string out;
    auto next = arguments.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size() && (format[i + 1] == u's' || format[i + 1] == u'd') &&
            next != arguments.end()) {
            out += *next++;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

std::u16string text(uint32_t id) {
    return LoadResourceString(id);
}

std::u16string number(size_t value) {
    return win::fromUtf8(std::to_string(value));
}

std::u16string problemText(const win::FileProblem& problem) {
    using Kind = win::FileProblem::Kind;
    switch (problem.kind) {
    case Kind::Empty:
        return text(ids::FileIsEmpty);
    case Kind::BinaryData:
        return text(ids::FileHoldsBinaryData);
    case Kind::NoRegistryHeader:
        return text(ids::FileLacksRegistryHeader);
    case Kind::NotKeyOrValue:
        return fill(text(ids::LineIsNoKeyOrValue), {number(problem.line)});
    case Kind::LastLineCut:
        return text(ids::LastLineCutShort);
    case Kind::NotNetworkRecord:
        return fill(text(ids::LineIsNoNetworkRecord), {number(problem.line)});
    case Kind::BindingBeforeService:
        return fill(text(ids::LineBindsUnnamedService), {number(problem.line)});
    case Kind::NoService:
        return text(ids::FileNamesNoService);
    case Kind::NotPortRecord:
        return fill(text(ids::LineIsNoPortRecord), {number(problem.line)});
    case Kind::Folder:
        return text(ids::PathIsAFolder);
    case Kind::NotAFile:
        return text(ids::PathIsNotAFile);
    }
    return {};
}

} // namespace

std::u16string UnreadableFileMessage(const win::UnreadableFile& file) {
    if (file.keptAs.empty())
        return fill(text(ids::SettingsFileUnusable), {win::fromUtf8(file.path), problemText(file.problem)});
    return fill(text(ids::SettingsFileSetAside),
                {win::fromUtf8(file.path), problemText(file.problem), win::fromUtf8(file.keptAs)});
}

std::u16string UpdateListNotStoredMessage(const std::string& path, bool folder) {
    return fill(text(ids::UpdateListNotStored),
                {win::fromUtf8(path), text(folder ? ids::PathIsAFolder : ids::PathIsNotAFile)});
}

std::u16string PortStoreFailureMessage(const win::PortStoreFailure& failure) {
    using Cause = win::PortStoreFailure::Cause;
    std::u16string cause;
    if (failure.cause == Cause::Folder)
        cause = text(ids::PathIsAFolder);
    else if (failure.cause == Cause::NotAFile)
        cause = text(ids::PathIsNotAFile);
    else if (failure.error == EROFS || failure.error == EACCES || failure.error == EPERM)
        cause = text(ids::FolderIsReadOnly);
    else if (failure.error == ENOSPC || failure.error == EDQUOT)
        cause = text(ids::DiskIsFull);
    else
        cause = fill(text(ids::SystemError), {number(static_cast<size_t>(failure.error))});
    return fill(text(ids::PortStoreNotSaved), {win::fromUtf8(failure.path), cause});
}
