import QtQuick
import Orvella

// The footer of the live chrome: the control row above the action bar.
Column {
    id: footer

    required property PlayerController player
    required property LiveScreenModel screen

    spacing: 0

    LiveVideoControls {
        width: footer.width
        player: footer.player
        captionsEnabled: footer.screen.captionsEnabled
        quality: footer.screen.qualityLabel
        dataRate: footer.screen.dataRateLabel
        onInteract: footer.screen.revealControls()
        onToggleCaptions: footer.screen.toggleCaptions()
        onToggleQuality: footer.screen.toggleQuality()
        onFullscreen: footer.screen.toggleFullScreen()
    }

    LiveActionBar {
        width: footer.width
        showingNext: footer.screen.showingNextTitle
        onLanguages: footer.screen.open(MacRoute.Languages)
        onGive: footer.screen.open(MacRoute.Give)
        onHerald: footer.screen.open(MacRoute.Herald)
        onTestimony: footer.screen.open(MacRoute.Testimony)
        // This slot opens the programs screen, not the magazine.
        onMagazine: footer.screen.open(MacRoute.Programs)
        onSchedule: footer.screen.openSchedule()
        onMenu: footer.screen.openMenu()
    }
}
