#include "app/components/QSCPermissions.h"

#include "foundation/DispatchQueue.h"
#include "media/PHPhotoLibrary.h"

void QSCPermissions::authorizePhotoLibrary(std::function<void(bool granted)> completion) {
    PHAuthorizationStatus status = PHPhotoLibrary::authorizationStatus();
    if (status != PHAuthorizationStatus::NotDetermined) {
        if (completion) completion(status == PHAuthorizationStatus::Authorized);
        return;
    }
    PHPhotoLibrary::requestAuthorization([completion = std::move(completion)](PHAuthorizationStatus answer) {
        DispatchQueue::main()->async([completion, answer] {
            if (completion) completion(answer == PHAuthorizationStatus::Authorized);
        });
    });
}
