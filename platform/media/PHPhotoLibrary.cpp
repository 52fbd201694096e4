#include "media/PHPhotoLibrary.h"

#include "foundation/DispatchQueue.h"
#include "media/SimulatedPhotoLibrary.h"

PHAuthorizationStatus PHPhotoLibrary::authorizationStatus() { return SimulatedPhotoLibrary::authorizationStatus(); }

void PHPhotoLibrary::requestAuthorization(std::function<void(PHAuthorizationStatus)> handler) {
    PHAuthorizationStatus status = SimulatedPhotoLibrary::requestAuthorization();
    DispatchQueue::global()->async([handler = std::move(handler), status] {
        if (handler) handler(status);
    });
}
