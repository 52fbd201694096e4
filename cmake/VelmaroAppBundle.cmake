# The app's deployment settings and its bundle.
#
# The kits' application identifiers and the bundle's identity are settings of
# the deployment: they are compiled into the app (KXAppConfiguration) and
# written into the bundle's Info.plist (the URL schemes the kits' answers come
# back on) from the same values.
#
# The bundle folder, <build>/app/bundle (VELMARO_APP_BUNDLE_DIR), holds
# Info.plist, configured from app/bundle/Info.plist, and the placeholder
# images listed in app/bundle/images.txt, drawn by tools/imagegen, and the Pal
# kit's resource files (its dialog page). Whatever
# runs the app points NSBundle::setMainBundlePath at it.
set(VELMARO_BUNDLE_IDENTIFIER "com.velmaro.promoter" CACHE STRING "The app's bundle identifier")
set(VELMARO_APP_VERSION "1.0.0" CACHE STRING "The app's version")
set(VELMARO_BUILD_NUMBER "1" CACHE STRING "The app's build number")
set(VELMARO_RIPPLE_APP_ID "rp5f0c1d2e3a4b6978" CACHE STRING
    "The Ripple application identifier: rp and 16 lower-case hexadecimal digits")
set(VELMARO_PAL_APP_ID "102035471" CACHE STRING "The Pal application identifier: 9 decimal digits")
set(VELMARO_PAL_REDIRECT_HOST "www.pal.example" CACHE STRING "The host of the Pal web site, the Pal login's redirect")

set(VELMARO_APP_BUNDLE_DIR ${CMAKE_BINARY_DIR}/app/bundle)
configure_file(${PROJECT_SOURCE_DIR}/app/bundle/Info.plist ${VELMARO_APP_BUNDLE_DIR}/Info.plist @ONLY)
set(images_list ${PROJECT_SOURCE_DIR}/app/bundle/images.txt)
add_custom_command(
  OUTPUT ${VELMARO_APP_BUNDLE_DIR}/images.stamp
  COMMAND velmaro_imagegen ${images_list} ${VELMARO_APP_BUNDLE_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${VELMARO_APP_BUNDLE_DIR}/images.stamp
  DEPENDS velmaro_imagegen ${images_list}
  COMMENT "Drawing the app bundle's images")
# The Pal kit's dialog page, kept with the kit's sources.
set(pal_dialog_page NimbusOpenApi_IOS_Bundle.bundle/local.html)
add_custom_command(
  OUTPUT ${VELMARO_APP_BUNDLE_DIR}/${pal_dialog_page}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/kits/pal/NimbusOpenApi_IOS/${pal_dialog_page}
          ${VELMARO_APP_BUNDLE_DIR}/${pal_dialog_page}
  DEPENDS ${PROJECT_SOURCE_DIR}/kits/pal/NimbusOpenApi_IOS/${pal_dialog_page}
  COMMENT "Copying the Pal kit's dialog page")
add_custom_target(velmaro_app_bundle ALL
  DEPENDS ${VELMARO_APP_BUNDLE_DIR}/images.stamp ${VELMARO_APP_BUNDLE_DIR}/${pal_dialog_page})

target_compile_definitions(velmaro_app PRIVATE
  VELMARO_RIPPLE_APP_ID="${VELMARO_RIPPLE_APP_ID}"
  VELMARO_PAL_APP_ID="${VELMARO_PAL_APP_ID}"
  VELMARO_PAL_REDIRECT_HOST="${VELMARO_PAL_REDIRECT_HOST}")
if(TARGET test_app)
  add_dependencies(test_app velmaro_app_bundle)
  target_compile_definitions(test_app PRIVATE VELMARO_APP_BUNDLE_DIR="${VELMARO_APP_BUNDLE_DIR}")
  # The walk over every screen once more on the small screen (320 x 568), in
  # a process of its own: the app's layout scale is fixed at its first use;
  # with it the tests that hold a length at either size.
  add_test(NAME ScreenTextFit.se COMMAND test_app --gtest_filter=ScreenTextFit.*:*AtEitherSize.*)
  set_tests_properties(ScreenTextFit.se PROPERTIES ENVIRONMENT VELMARO_TEST_SCREEN=se TIMEOUT 300)
  # The pop-ups over their screens on a notched and on the largest screen.
  foreach(screen notched max)
    add_test(NAME ScreenTextFit.${screen} COMMAND test_app --gtest_filter=ScreenTextFit.ThePopUpsOverTheirScreens)
    set_tests_properties(ScreenTextFit.${screen} PROPERTIES ENVIRONMENT VELMARO_TEST_SCREEN=${screen} TIMEOUT 300)
  endforeach()
endif()
