# cmake --install <build> --prefix <prefix> lays out:
#   lib/libEngine.so, include/Engine/... (the public headers),
#   lib/cmake/Engine/ (find_package(Engine), target Engine::Engine),
#   bin/ the asset compiler vlpc and the generators,
#   share/Engine/ the engine's shaders (EngineData/) and the demo: its data
#   (TestData/) and the program in share/Engine/run/bin, its working folder,
#   so that `cd <prefix>/share/Engine/run/bin && ./Game` runs it.
include(CMakePackageConfigHelpers)

set(ENGINE_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Engine)
set(ENGINE_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/Engine)
set(ENGINE_INSTALL_GAMEDIR ${ENGINE_INSTALL_DATADIR}/run/bin)

# Headers of the engine's own internals stay out.
set(ENGINE_PRIVATE_HEADERS Data/PngImage.h Render/ShaderPaths.h Render/TextureSetup.h
                           Sound/TrackData.h)
file(GLOB_RECURSE engine_headers RELATIVE ${PROJECT_SOURCE_DIR}/Engine CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/Engine/*.h)
list(REMOVE_ITEM engine_headers ${ENGINE_PRIVATE_HEADERS})
foreach(header ${engine_headers})
    get_filename_component(folder ${header} DIRECTORY)
    install(FILES Engine/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/Engine/${folder})
endforeach()

install(TARGETS Engine EXPORT EngineTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT EngineTargets NAMESPACE Engine:: DESTINATION ${ENGINE_INSTALL_CMAKEDIR})
configure_package_config_file(cmake/EngineConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/EngineConfig.cmake
    INSTALL_DESTINATION ${ENGINE_INSTALL_CMAKEDIR}
    PATH_VARS ENGINE_INSTALL_DATADIR)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/EngineConfigVersion.cmake
    VERSION 1.0 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/EngineConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/EngineConfigVersion.cmake
        DESTINATION ${ENGINE_INSTALL_CMAKEDIR})

set(engine_tools vlpc lightgen contentgen musicgen LampIcon)
set_target_properties(${engine_tools} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
install(TARGETS ${engine_tools} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(DIRECTORY EngineData/ DESTINATION ${ENGINE_INSTALL_DATADIR}/EngineData)
set_target_properties(Game PROPERTIES INSTALL_RPATH "$ORIGIN/../../../../${CMAKE_INSTALL_LIBDIR}")
install(TARGETS Game RUNTIME DESTINATION ${ENGINE_INSTALL_GAMEDIR})
install(DIRECTORY TestData/Shader DESTINATION ${ENGINE_INSTALL_DATADIR}/TestData)
install(DIRECTORY ${ENGINE_TEST_DATA}/Compile ${ENGINE_TEST_DATA}/audio
        DESTINATION ${ENGINE_INSTALL_DATADIR}/TestData
        FILES_MATCHING PATTERN "*.vlp" PATTERN "*.wav")
install(FILES ${ENGINE_TEST_DATA}/Textures/lamp_icon.png
        DESTINATION ${ENGINE_INSTALL_DATADIR}/TestData/Textures)
