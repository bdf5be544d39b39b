# The layers and their views. A view folder holds one link to a source folder; a target sees the
# folders whose views it has and no other (the source root is on no include path), so an include
# that reaches up a layer, or into a folder the target does not link, fails to compile.
set(ZB_VIEWS ${CMAKE_BINARY_DIR}/layers)

# Puts the view of folder (a path under the source root) on the target's include path.
function(zb_view target scope folder)
    set(view ${ZB_VIEWS}/${folder})
    file(MAKE_DIRECTORY ${view})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
    target_include_directories(${target} ${scope} ${view})
endfunction()

# The static library of the layer in the calling folder, over the layer below it. The layers are
# noted in the order they are declared, from the bottom up, for the layer check (tests/structure).
function(zb_layer target below)
    file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    add_library(${target} STATIC)
    zb_view(${target} PUBLIC ${folder})
    target_compile_options(${target} PRIVATE ${ZB_WARNINGS} ${ZB_PRODUCT_FLAGS})
    target_link_libraries(${target} PUBLIC ${below})
    set_property(GLOBAL APPEND PROPERTY ZB_LAYER_FOLDERS ${folder})
endfunction()
