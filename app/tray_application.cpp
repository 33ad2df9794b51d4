#include "app/tray_application.h"

#include <cstring>

TrayApplication* theApplication = nullptr;

TrayApplication::TrayApplication(sys::Instance instance)
    : initialized(0),
      mode(PlayMode),
      instance(instance),
      atom(0),
      settings(instance),
      presence(settings.GetMinIndex(), settings.GetMaxIndex()),
      slotScan(settings),
      window(nullptr),
      timerId(0),
      trayMenu(nullptr),
      characterPopup(nullptr),
      icon(nullptr),
      ownsAtom(false),
      commandRunning(false),
      taskbarCreatedMessage(0),
      instanceMutex(nullptr),
      trayIconRetriesLeft(0),
      tipFailing(0) {
    std::memset(caption, 0, sizeof caption);
    std::memset(atomName, 0, sizeof atomName);
    std::memset(&notifyData, 0, sizeof notifyData);
    std::memset(slotLoaded, 0, sizeof slotLoaded);
    std::memset(loadedStamps, 0, sizeof loadedStamps);
    std::memset(&archivePass, 0, sizeof archivePass);
}

// Members are destroyed in reverse order of declaration: the slot scanner and the
// presence table first, then the settings, whose destructor saves them.
TrayApplication::~TrayApplication() = default;
