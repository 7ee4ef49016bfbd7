// OpenStreetMap tiles under the map's own drawing. The program moves it
// (setView); it takes no input of its own.
import QtQuick 2.15
import QtLocation 5.15
import QtPositioning 5.15

Map {
    id: map
    plugin: Plugin {
        name: "osm"
        PluginParameter { name: "osm.useragent"; value: tileUserAgent }
        PluginParameter { name: "osm.mapping.custom.host"; value: tileServer }
        PluginParameter { name: "osm.mapping.cache.directory"; value: tileCache }
        PluginParameter { name: "osm.mapping.providersrepository.disabled"; value: true }
        PluginParameter { name: "osm.mapping.highdpi_tiles"; value: false }
        PluginParameter { name: "osm.mapping.custom.mapcopyright"; value: "OpenStreetMap contributors" }
        // Tiles are fetched as the view shows them, none ahead.
        PluginParameter { name: "osm.mapping.prefetching_style"; value: "NoPrefetching" }
    }
    gesture.enabled: false
    copyrightsVisible: true

    function setView(latitude, longitude, zoom) {
        map.zoomLevel = zoom
        map.center = QtPositioning.coordinate(latitude, longitude)
    }

    Component.onCompleted: {
        for (var i = 0; i < supportedMapTypes.length; ++i) {
            if (supportedMapTypes[i].style === MapType.CustomMap) {
                activeMapType = supportedMapTypes[i]
                break
            }
        }
    }
}
