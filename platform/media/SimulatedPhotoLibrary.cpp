#include "media/SimulatedPhotoLibrary.h"

#include <deque>
#include <mutex>

namespace {

struct LibraryState {
    PHAuthorizationStatus status = PHAuthorizationStatus::NotDetermined;
    PHAuthorizationStatus answer = PHAuthorizationStatus::Authorized;
    std::deque<Ref<UIImage>> picks;
};

std::mutex stateMutex;
LibraryState state;

}  // namespace

void SimulatedPhotoLibrary::reset() {
    std::lock_guard lock(stateMutex);
    state = LibraryState{};
}

PHAuthorizationStatus SimulatedPhotoLibrary::authorizationStatus() {
    std::lock_guard lock(stateMutex);
    return state.status;
}

void SimulatedPhotoLibrary::setAuthorizationStatus(PHAuthorizationStatus status) {
    std::lock_guard lock(stateMutex);
    state.status = status;
}

void SimulatedPhotoLibrary::setAuthorizationAnswer(PHAuthorizationStatus answer) {
    std::lock_guard lock(stateMutex);
    state.answer = answer;
}

PHAuthorizationStatus SimulatedPhotoLibrary::requestAuthorization() {
    std::lock_guard lock(stateMutex);
    if (state.status == PHAuthorizationStatus::NotDetermined) state.status = state.answer;
    return state.status;
}

void SimulatedPhotoLibrary::addPick(const Ref<UIImage>& picture) {
    std::lock_guard lock(stateMutex);
    state.picks.push_back(picture);
}

bool SimulatedPhotoLibrary::addPickFromFile(std::string_view path) {
    auto picture = UIImage::imageWithContentsOfFile(path);
    if (picture) addPick(picture);
    return picture != nullptr;
}

std::optional<Ref<UIImage>> SimulatedPhotoLibrary::takePick() {
    std::lock_guard lock(stateMutex);
    if (state.picks.empty()) return std::nullopt;
    Ref<UIImage> pick = state.picks.front();
    state.picks.pop_front();
    return pick;
}
