# Links the sources' data into the build folder: <build>/EngineData names the
# engine's shaders, <build>/TestData each entry of the sources' TestData/ but
# the generated ones. TestData/Textures is a folder of its own, since the build
# draws the lamp icon into it.
file(MAKE_DIRECTORY ${ENGINE_WORKING_DIR} ${ENGINE_TEST_DATA}/Textures)

function(engine_link_data source link)
    if(NOT IS_SYMLINK ${link})
        file(CREATE_LINK ${source} ${link} SYMBOLIC)
    endif()
endfunction()

engine_link_data(${PROJECT_SOURCE_DIR}/EngineData ${CMAKE_BINARY_DIR}/EngineData)
file(GLOB test_data_entries LIST_DIRECTORIES true CONFIGURE_DEPENDS
     RELATIVE ${PROJECT_SOURCE_DIR}/TestData
     ${PROJECT_SOURCE_DIR}/TestData/* ${PROJECT_SOURCE_DIR}/TestData/Textures/*)
# Folders an older in-source build generated are left out too.
list(FILTER test_data_entries EXCLUDE REGEX "^(Compile|Generated|audio|Textures|Textures/lamp_icon\\.png)$")
foreach(entry ${test_data_entries})
    engine_link_data(${PROJECT_SOURCE_DIR}/TestData/${entry} ${ENGINE_TEST_DATA}/${entry})
endforeach()
