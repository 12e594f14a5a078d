# cmake --install: the game, its desktop entry, its icon in the hicolor theme and its AppStream
# metainfo, all under one application id.
include(GNUInstallDirs)

set(ZUM32_APP_ID io.github.zum32.Zum32)

if(TARGET zum32)
  install(TARGETS zum32 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${ZUM32_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${ZUM32_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The icon sizes that our artwork generator draws from the game's own icon.
foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/zum32-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${ZUM32_APP_ID}.png)
endforeach()
