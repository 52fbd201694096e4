#pragma once

// The program entry, called by the runner's main: hands control to the
// application's main loop with AppDelegate as the application delegate, and
// answers its result when the app terminates.
int velmaroMain(int argc, char** argv);

// Makes AppDelegate known to UIApplicationMain by its class name.
void registerAppDelegateClass();
